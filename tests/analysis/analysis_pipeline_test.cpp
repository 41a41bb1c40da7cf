#include "analysis/analysis_pipeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "analysis/analyse_picture.h"
#include "mixed_folder.h"
#include "refused_threads.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A cache that remembers nothing, counts its calls and those under way, can hold the
// lookup of one file until it is let go, and can fail the lookup of another.
class WatchedCache : public PictureCache {
 public:
  std::optional<PictureAnalysis> Find(const std::string& path, const FileStamp&, const AnalysisKey&) override {
    std::unique_lock lock(mutex_);
    ++calls_;
    ++active_;
    if (path == Held) {
      holding_ = true;
      changed_.notify_all();
      changed_.wait(lock, [this] { return released_; });
    }
    --active_;
    if (path == Failing) throw std::bad_alloc();
    return std::nullopt;
  }
  void Store(const std::string&, const FileStamp&, const AnalysisKey&, const PictureAnalysis&) override {
    const std::lock_guard lock(mutex_);
    ++calls_;
  }
  void Prune(const std::string&, bool, const std::unordered_set<std::string>&) override {}
  void Flush() override {}

  void Release() {
    const std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }
  bool WaitUntilHolding() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, 10s, [this] { return holding_; });
  }
  int Calls() {
    const std::lock_guard lock(mutex_);
    return calls_;
  }
  int Active() {
    const std::lock_guard lock(mutex_);
    return active_;
  }
  // Waits until calls were made, then a while longer to see that no more come.
  void ExpectCallsToStopAt(int calls) {
    const auto deadline = Clock::now() + 10s;
    while (Calls() < calls && Clock::now() < deadline) std::this_thread::sleep_for(5ms);
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(Calls(), calls);
  }
  // Nothing under way, and nothing more comes a while later.
  void ExpectQuiet() {
    EXPECT_EQ(Active(), 0);
    const int calls = Calls();
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(Calls(), calls);
  }

  std::string Held;
  std::string Failing;

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int calls_ = 0;
  int active_ = 0;
  bool holding_ = false;
  bool released_ = false;
};

class AnalysisPipelineTest : public ::testing::Test {
 protected:
  // count pictures, copies of one small JPEG.
  std::vector<std::string> Copies(int count) {
    const std::string bytes = testing::JpegBytes(testing::PhotoLike(160, 120));
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) paths.push_back(temp.Write("copies/" + std::to_string(i) + ".jpg", bytes));
    return paths;
  }
  AnalysisPipeline::PathOf PathsOf(const std::vector<std::string>& paths) {
    return [&paths](std::int32_t k) { return paths.at(static_cast<std::size_t>(k)); };
  }
  std::int32_t Count(const std::vector<std::string>& paths) { return static_cast<std::int32_t>(paths.size()); }

  testing::TempFolder temp;
  TSettings settings;
  int pumps = 0;
  const std::function<void()> pump = [this] { ++pumps; };
};

TEST_F(AnalysisPipelineTest, HandsOutEachPicturesOwnAnalysisInCatalogueOrder) {
  const std::string folder = testing::WriteMixedFolder(temp, "mixed");
  std::vector<std::string> paths;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    if (entry.is_regular_file()) paths.push_back(entry.path().string());
  paths.push_back(folder + "missing.jpg");
  std::sort(paths.begin(), paths.end());
  for (const bool identicalOnly : {false, true}) {
    settings.SearchOnlyIdentical = identicalOnly;
    std::vector<PictureAnalysis> expected;
    AnalysisWorkspace workspace;
    for (const std::string& path : paths) expected.push_back(AnalysePicture(path, settings, nullptr, workspace));
    EXPECT_GT(std::count_if(expected.begin(), expected.end(), [](const auto& a) { return a.Analysed; }), 20);
    EXPECT_GT(std::count_if(expected.begin(), expected.end(), [](const auto& a) { return !a.Analysed; }), 4);
    for (const int jobs : {1, 2, 3, 8}) {
      SCOPED_TRACE(std::to_string(jobs) + (identicalOnly ? " identical only" : ""));
      WatchedCache cache;
      AnalysisPipeline pipeline(Count(paths), PathsOf(paths), settings, &cache, jobs);
      for (std::int32_t k = 0; k < Count(paths); ++k) EXPECT_EQ(pipeline.Take(k, pump), expected[k]) << paths[k];
      EXPECT_EQ(cache.Calls(), 2 * (Count(paths) - 1));  // each file looked up and stored once; none missing
    }
  }
}

TEST_F(AnalysisPipelineTest, AnalysesNoMoreThanItsWindowAheadOfThePictureTaken) {
  const std::vector<std::string> paths = Copies(30);
  WatchedCache cache;  // one lookup and one store per picture analysed
  AnalysisPipeline pipeline(Count(paths), PathsOf(paths), settings, &cache, 2);
  EXPECT_EQ(pipeline.Ahead(), 8);
  cache.ExpectCallsToStopAt(2 * 8);
  pipeline.Take(0, pump);
  cache.ExpectCallsToStopAt(2 * 9);
  for (std::int32_t k = 1; k <= 5; ++k) pipeline.Take(k, pump);
  cache.ExpectCallsToStopAt(2 * 14);
}

TEST_F(AnalysisPipelineTest, WaitingForAPictureItPumpsEvery50MsAndAThrowingPumpEndsIt) {
  const std::vector<std::string> paths = Copies(20);
  WatchedCache cache;
  cache.Held = paths[3];
  std::vector<Clock::time_point> times;
  {
    AnalysisPipeline pipeline(Count(paths), PathsOf(paths), settings, &cache, 2);
    for (std::int32_t k = 0; k < 3; ++k) pipeline.Take(k, pump);
    ASSERT_TRUE(cache.WaitUntilHolding());
    EXPECT_THROW(pipeline.Take(3,
                               [&] {
                                 times.push_back(Clock::now());
                                 if (times.size() < 8) return;
                                 cache.Release();  // or the worker holding it could never be joined
                                 throw std::runtime_error("the window closed");
                               }),
                 std::runtime_error);
  }
  cache.ExpectQuiet();
  ASSERT_EQ(times.size(), 8u);
  for (std::size_t i = 1; i < times.size(); ++i) {
    const auto gap = times[i] - times[i - 1];
    EXPECT_GE(gap, 45ms);
    EXPECT_LE(gap, 250ms);  // 50 ms and what a busy machine or a sanitizer adds
  }
}

TEST_F(AnalysisPipelineTest, APictureHeldUpIsWaitedForThenTheOthersFollowInOrder) {
  const std::vector<std::string> paths = Copies(12);
  WatchedCache cache;
  cache.Held = paths[1];
  AnalysisPipeline pipeline(Count(paths), PathsOf(paths), settings, &cache, 3);
  pipeline.Take(0, pump);
  ASSERT_TRUE(cache.WaitUntilHolding());
  const PictureAnalysis held = pipeline.Take(1, [&] {
    if (++pumps == 3) cache.Release();
  });
  EXPECT_TRUE(held.Analysed);
  EXPECT_GE(pumps, 3);
  for (std::int32_t k = 2; k < Count(paths); ++k) EXPECT_EQ(pipeline.Take(k, pump), held);
}

TEST_F(AnalysisPipelineTest, AConsumerLeavingEarlyEndsTheWorkersWithTheirPictures) {
  const std::vector<std::string> paths = Copies(40);
  WatchedCache cache;
  for (const int jobs : {1, 2, 4}) {
    {
      AnalysisPipeline pipeline(Count(paths), PathsOf(paths), settings, &cache, jobs);
      pipeline.Take(0, pump);
      pipeline.Take(1, pump);
    }
    cache.ExpectQuiet();
  }
  // Left before the first picture is taken, and with nothing to do at all.
  { AnalysisPipeline pipeline(Count(paths), PathsOf(paths), settings, &cache, 4); }
  { AnalysisPipeline pipeline(0, PathsOf(paths), settings, &cache, 4); }
  cache.ExpectQuiet();
}

TEST_F(AnalysisPipelineTest, AFailureIsThrownWhenItsPictureIsTaken) {
  const std::vector<std::string> paths = Copies(10);
  WatchedCache cache;
  cache.Failing = paths[2];
  {
    AnalysisPipeline pipeline(
        Count(paths),
        [&](std::int32_t k) -> std::string {
          if (k == 4) throw std::out_of_range("no such picture");
          return paths.at(static_cast<std::size_t>(k));
        },
        settings, &cache, 2);
    EXPECT_TRUE(pipeline.Take(0, pump).Analysed);
    EXPECT_TRUE(pipeline.Take(1, pump).Analysed);
    EXPECT_THROW(pipeline.Take(2, pump), std::bad_alloc);
    EXPECT_TRUE(pipeline.Take(3, pump).Analysed);
    EXPECT_THROW(pipeline.Take(4, pump), std::out_of_range);
    EXPECT_TRUE(pipeline.Take(5, pump).Analysed);
    EXPECT_THROW(pipeline.Take(7, pump), std::logic_error);  // out of order
  }
  cache.ExpectQuiet();
}

TEST_F(AnalysisPipelineTest, APipelineNoThreadCanStartForIsRefusedWholeAndTouchesNothing) {
  const std::vector<std::string> paths = Copies(3);
  WatchedCache cache;
  {
    const testing::RefusedThreads refused;
    EXPECT_THROW(AnalysisPipeline(Count(paths), PathsOf(paths), settings, &cache, 4), std::system_error);
  }
  cache.ExpectQuiet();
  EXPECT_EQ(cache.Calls(), 0);
}

}  // namespace
}  // namespace tessimar
