// The results list of the real window under load: the pairs go into the window's catalogue
// through the calls a scan makes, the first header click gives the list its rows, and each
// column is then sorted one way and back by header clicks. Prints every click's time and the
// peak resident memory before the pairs, with them, and after the sorts.
// Usage: window_sort_bench [pairs]   (100,000 by default)
#include <sys/resource.h>

#include <QElapsedTimer>
#include <QHeaderView>
#include <QTableView>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/main_form.h"
#include "app/tessimar_application.h"
#include "large_catalogue.h"
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

// Settings and cache of the benchmark's own; no update check opens a window.
void UseOwnFolders(const testing::TempFolder& home) {
  ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
  ::setenv("XDG_CACHE_HOME", (home / "cache").c_str(), 1);
  home.Write("config/Tessimar/Tessimar.ini", "[Main]\nAutoCheckUpdates=0\n");
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
  const std::int32_t pairs = argc > 1 ? std::atoi(argv[1]) : DefaultPairs;

  TMainForm window;
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return std::fprintf(stderr, "the window did not show\n"), 1;
  auto& list = *window.findChild<QTableView*>(QStringLiteral("ListView1"));
  const long emptyKb = PeakResidentKb();
  testing::FillLikeAScan(window.Pictures(), pairs, Seed);
  const long filledKb = PeakResidentKb();
  std::printf("pairs %d, pictures %d\n", window.Pictures().PairCount(), window.Pictures().LastPicIndex + 1);

  // The window starts sorted by column 0 ascending, so its first click sorts descending.
  const struct {
    int column;
    const char* order;
  } clicks[] = {{0, "descending"}, {0, "ascending"}, {1, "ascending"},
                {1, "descending"}, {2, "ascending"}, {2, "descending"}};
  for (const auto& click : clicks) {
    const double ms = ClickHeaderMs(list, click.column);
    std::printf("column %d %-10s  %8.1f ms  rows %lld\n", click.column, click.order, ms,
                static_cast<long long>(list.model()->rowCount()));
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
