// The window closed at random moments of a scan and of a sort of a large list: whenever
// the close comes, the window goes once the work has unwound, the pictures are released,
// no box opens, and neither a thread the work started nor a timer of the window is left.
// The seed is printed on failure; TESSIMAR_TEST_SEED draws the same moments again.
#include <QElapsedTimer>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "app/main_form_texts.h"
#include "large_catalogue.h"
#include "main_form_fixture.h"

namespace tessimar::testing {
namespace {

constexpr int Moments = 20;
// Enough pairs that the sort by a path column takes a while, even without a sanitizer.
constexpr std::int32_t SortedPairs = 20'000;

std::uint32_t ChosenSeed() {
  const char* chosen = std::getenv("TESSIMAR_TEST_SEED");
  return chosen != nullptr ? static_cast<std::uint32_t>(std::strtoul(chosen, nullptr, 10)) : std::random_device{}();
}

int ThreadCount() {
  int threads = 0;
  for ([[maybe_unused]] const auto& task : std::filesystem::directory_iterator("/proc/self/task")) ++threads;
  return threads;
}

class CloseAtRandomTest : public MainFormTest {
 protected:
  CloseAtRandomTest() : seed_(ChosenSeed()), random_(seed_) {}

  std::uint32_t Seed() const { return seed_; }
  int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }

  bool Scanning() const { return Find<QPushButton>("StartButton").text() == StopCaption; }
  void ClickHeader(int column) const {
    QHeaderView* header = Find<QTableView>("ListView1").horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 10, header->height() / 2));
  }

  // threads: the process's threads before the scan or sort began.
  void ExpectClosedCleanly(int threads) const {
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(boxes.Boxes.empty());
    EXPECT_EQ(Find<QPushButton>("StartButton").text(), StartCaption);
    EXPECT_EQ(Find<QTableView>("ListView1").model()->rowCount(), 0);
    const Catalogue& pictures = window->Pictures();
    EXPECT_TRUE(pictures.PicList.empty());
    EXPECT_TRUE(pictures.PicturePairs.empty());
    EXPECT_EQ(pictures.LastPairIndex, -1);
    EXPECT_EQ(ThreadCount(), threads);
    for (const QTimer* timer : window->findChildren<QTimer*>())
      EXPECT_FALSE(timer->isActive()) << "a timer of " << timer->interval() << " ms";
  }

  // A fresh window whose list is about to get SortedPairs pairs from its first header click.
  void StartWithLargeList(std::uint32_t fill) {
    boxes.Boxes.clear();
    Start();
    FillLikeAScan(window->Pictures(), SortedPairs, fill);
  }

 private:
  std::uint32_t seed_;
  std::mt19937 random_;
};

TEST_F(CloseAtRandomTest, AScanClosedAtAnyOfItsPumpsUnwindsAndLeavesNothingRunning) {
  SCOPED_TRACE("seed " + std::to_string(Seed()));
  const QString photos = QString::fromStdString(PictureFolder(temp, "photos", 8));
  // Two whole scans first, to learn how many pumps one takes once the cache knows the pictures.
  int scanPumps = 0;
  for (int warm = 0; warm < 2; ++warm) {
    Start();
    Drop({photos});
    scanPumps = 0;
    AtPump(
        [&] {
          scanPumps += Scanning();
          return false;
        },
        [] {});
    PressStart();
    StopPumpWatch();
  }
  ASSERT_GT(scanPumps, 0);
  int closedDuring = 0;
  for (int round = 0; round < Moments; ++round) {
    const int moment = Uniform(1, scanPumps);
    SCOPED_TRACE("close at pump " + std::to_string(moment) + " of " + std::to_string(scanPumps));
    boxes.Boxes.clear();
    Start();
    Drop({photos});
    const int threads = ThreadCount();
    int pumps = 0;
    bool closed = false;
    AtPump([&] { return Scanning() && ++pumps == moment; },
           [&] {
             closed = true;
             window->close();
           });
    PressStart();
    StopPumpWatch();
    if (!closed) continue;  // this scan needed fewer pumps and ended first
    ++closedDuring;
    ExpectClosedCleanly(threads);
  }
  RecordProperty("ClosedDuringTheScan", closedDuring);
  EXPECT_GE(closedDuring, Moments / 2);
}

// The sort lets events through once, between its two passes. A close that is due before
// then is taken there and waits for the sort's end; one due later waits in the queue.
TEST_F(CloseAtRandomTest, ACloseDueAtAnyMomentOfASortOfALargeListClosesTheWindowCleanly) {
  SCOPED_TRACE("seed " + std::to_string(Seed()));
  // How long the click on each column takes in a fresh window; column 0 twice, as the very
  // first sort also pays for what happens only once in the process.
  std::array<int, 3> sortMs{};
  for (const int column : {0, 0, 1, 2}) {
    StartWithLargeList(Seed());
    QElapsedTimer timer;
    timer.start();
    ClickHeader(column);
    sortMs[column] = static_cast<int>(timer.elapsed()) + 1;
  }
  ASSERT_EQ(Find<QTableView>("ListView1").model()->rowCount(), SortedPairs);
  int closedByTheSort = 0;
  for (int round = 0; round < Moments; ++round) {
    const int column = Uniform(0, 2);
    const int moment = Uniform(1, sortMs[column]);
    SCOPED_TRACE("column " + std::to_string(column) + ", close due at " + std::to_string(moment) + " ms of " +
                 std::to_string(sortMs[column]));
    StartWithLargeList(Seed() + static_cast<std::uint32_t>(round));
    const int threads = ThreadCount();
    QTimer::singleShot(moment, window.get(), [this] { window->close(); });
    ClickHeader(column);
    closedByTheSort += !window->isVisible();
    EXPECT_TRUE(QTest::qWaitFor([this] { return !window->isVisible(); }, DeadlineMs));
    ExpectClosedCleanly(threads);
  }
  RecordProperty("ClosedByTheSort", closedByTheSort);
  EXPECT_GE(closedByTheSort, 1);
}

}  // namespace
}  // namespace tessimar::testing
