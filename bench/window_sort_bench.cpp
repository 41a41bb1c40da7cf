// The results list of the real window under load: each column sorted one way and back by
// header clicks, with every click's time and the peak resident memory printed.
// The pairs come from a scan the window runs on a folder (bench/window_load.sh makes one), or,
// in seconds instead of minutes, from a catalogue filled through the calls a scan makes; the
// list then gets its rows from the first header click.
// Usage: window_sort_bench [PAIRS | --scan FOLDER]   (100,000 filled pairs by default)
#include <sys/resource.h>

#include <QDropEvent>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/main_form.h"
#include "app/tessimar_application.h"
#include "large_catalogue.h"
#include "recording_message_boxes.h"
#include "temp_folder.h"

namespace {

using namespace tessimar;

constexpr std::int32_t DefaultPairs = 100'000;
constexpr std::uint32_t Seed = 1;

long PeakResidentKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Settings and cache of the benchmark's own; no update check opens a window, and the tiny
// pictures of window_load.sh are not passed over.
void UseOwnFolders(const testing::TempFolder& home) {
  ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
  ::setenv("XDG_CACHE_HOME", (home / "cache").c_str(), 1);
  home.Write("config/Tessimar/Tessimar.ini", "[Main]\nAutoCheckUpdates=0\nMinPicWidth=5\nMinPicHeight=5\n");
}

// Drops the folder on the folder list and presses Start, as a user does; returns once the
// scan has ended.
void Scan(TMainForm& window, const QString& folder) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(folder)});
  const auto& folders = *window.findChild<QListWidget*>(QStringLiteral("DirectoriesListBox"));
  const QPoint at = folders.mapTo(&window, folders.rect().center());
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(window.windowHandle(), &enter);
  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(window.windowHandle(), &drop);
  QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("StartButton")), Qt::LeftButton);
}

double ClickHeaderMs(QTableView& list, int column) {
  QHeaderView* header = list.horizontalHeader();
  QElapsedTimer timer;
  timer.start();
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                    QPoint(header->sectionViewportPosition(column) + 10, header->height() / 2));
  return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const testing::TempFolder home;
  UseOwnFolders(home);
  TessimarApplication app(argc, argv);
  const bool scan = argc > 2 && std::string(argv[1]) == "--scan";
  testing::RecordingMessageBoxes boxes;

  TMainForm window;
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return std::fprintf(stderr, "the window did not show\n"), 1;
  auto& list = *window.findChild<QTableView*>(QStringLiteral("ListView1"));
  const long emptyKb = PeakResidentKb();
  QElapsedTimer filling;
  filling.start();
  if (scan) {
    Scan(window, QString::fromLocal8Bit(argv[2]));
  } else {
    testing::FillLikeAScan(window.Pictures(), argc > 1 ? std::atoi(argv[1]) : DefaultPairs, Seed);
  }
  const double fillSeconds = static_cast<double>(filling.elapsed()) / 1000;
  const long filledKb = PeakResidentKb();
  for (const auto& box : boxes.Boxes) std::printf("box: %s\n", qPrintable(box.text.simplified()));
  const std::int32_t pairs = window.Pictures().PairCount();
  std::printf("%s: %d pairs of %d pictures, %.1f s, list rows %d\n", scan ? "scanned" : "filled", pairs,
              window.Pictures().LastPicIndex + 1, fillSeconds, list.model()->rowCount());
  if (pairs <= 0) return std::fprintf(stderr, "no pairs to sort\n"), 1;

  // The window starts sorted by column 0 ascending, so its first click sorts descending.
  const struct {
    int column;
    const char* order;
  } clicks[] = {{0, "descending"}, {0, "ascending"}, {1, "ascending"},
                {1, "descending"}, {2, "ascending"}, {2, "descending"}};
  for (const auto& click : clicks) {
    const double ms = ClickHeaderMs(list, click.column);
    std::printf("column %d %-10s  %8.1f ms  rows %d\n", click.column, click.order, ms, list.model()->rowCount());
  }
  const long sortedKb = PeakResidentKb();
  std::printf("peak resident: %ld KiB empty window, %ld KiB with the pairs, %ld KiB after the sorts\n", emptyKb,
              filledKb, sortedKb);
  std::printf("per pair: %.0f bytes; the pair itself %zu, its share of the picture records (%zu bytes each) %.0f\n",
              (sortedKb - emptyKb) * 1024.0 / pairs, sizeof(TPicturePair), sizeof(TPicInfo),
              static_cast<double>(sizeof(TPicInfo)) * (window.Pictures().LastPicIndex + 1) / pairs);
  window.close();
  return 0;
}
