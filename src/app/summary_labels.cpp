#include "app/summary_labels.h"

#include <QLabel>

namespace tessimar {
namespace {

constexpr QPoint ScannedCountAt(20, 14);
constexpr QPoint DuplicatesFoundAt(165, 14);

// The width of the blanks a caption begins with, which draw nothing.
int LeadingBlanksWidth(const QLabel& label) {
  const QString text = label.text();
  qsizetype blanks = 0;
  while (blanks < text.size() && text.at(blanks).isSpace()) ++blanks;
  return label.fontMetrics().horizontalAdvance(text.left(blanks));
}

void PlaceAtTextSize(QLabel& label, QPoint at) {
  label.move(at);
  label.adjustSize();
}

}  // namespace

void PlaceSummaryLabels(QLabel& scannedCount, QLabel& duplicatesFound) {
  PlaceAtTextSize(scannedCount, ScannedCountAt);
  const int scannedEnd = scannedCount.x() + scannedCount.fontMetrics().horizontalAdvance(scannedCount.text());
  const int blanks = LeadingBlanksWidth(duplicatesFound);
  int left = DuplicatesFoundAt.x();
  if (scannedEnd > left + blanks) {
    left = scannedEnd + duplicatesFound.fontMetrics().horizontalAdvance(QLatin1Char(' ')) - blanks;
  }
  PlaceAtTextSize(duplicatesFound, {left, DuplicatesFoundAt.y()});
}

}  // namespace tessimar
