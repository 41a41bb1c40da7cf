#include "app/window_scan_host.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLabel>

#include "app/message_boxes.h"
#include "app/summary_labels.h"

namespace tessimar {

WindowScanHost::WindowScanHost(QWidget& window, ScanLabels labels, const QAbstractButton& scanSubfolders)
    : window_(window), labels_(labels), scanSubfolders_(scanSubfolders) {}

// All events, user input included: the Stop click must get through.
void WindowScanHost::PumpMessages() { QCoreApplication::processEvents(); }

void WindowScanHost::SetCaption(Caption caption, const std::string& text) {
  QLabel* label = nullptr;
  switch (caption) {
    case Caption::FilesCount: label = labels_.FilesCount; break;
    case Caption::CurrentDuplicatesFound: label = labels_.CurrentDuplicatesFound; break;
    case Caption::ScannedCount: label = labels_.ScannedCount; break;
    case Caption::DuplicatesFound: label = labels_.DuplicatesFound; break;
  }
  label->setText(QString::fromStdString(text));
  if (caption == Caption::ScannedCount || caption == Caption::DuplicatesFound) {
    PlaceSummaryLabels(*labels_.ScannedCount, *labels_.DuplicatesFound);
  }
}

bool WindowScanHost::ScanSubfolders() const { return scanSubfolders_.isChecked(); }

void WindowScanHost::ShowError(const std::string& text) { Messages().Error(&window_, QString::fromStdString(text)); }

}  // namespace tessimar
