// Picture analysis on worker threads, handed back strictly in catalogue order: the
// workers analyse the pictures ahead while the matching pass compares the ones before.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "analysis/picture_analysis.h"
#include "analysis/picture_cache.h"
#include "settings/settings.h"

namespace tessimar {

// Worker threads that make best use of this machine: one per core, at least one.
int DefaultJobs();

class AnalysisPipeline {
 public:
  // The longest the consumer waits for a result without running its pump.
  static constexpr std::chrono::milliseconds PumpInterval{50};
  // Results analysed ahead of the one taken, for each worker.
  static constexpr std::int32_t AheadPerJob = 4;
  // More workers than this are not started.
  static constexpr int MaxJobs = 1024;

  // The full path of picture k. Called only on the consumer's thread, from Take, so the
  // workers never read the catalogue; what it throws is thrown by Take(k).
  using PathOf = std::function<std::string(std::int32_t k)>;

  // Starts jobs (at least 1; no more than count or MaxJobs) workers that analyse pictures 0 to
  // count - 1 as AnalysePicture does, with a copy of settings and with cache (nullptr:
  // none), which they call at the same time: it must be safe for that, as a
  // SynchronizedPictureCache is. At most AheadPerJob * jobs pictures past the one last
  // taken are analysed or held at once. Fewer workers start where the system refuses the
  // others their threads; throws std::system_error when it refuses every one.
  AnalysisPipeline(std::int32_t count, PathOf pathOf, const TSettings& settings, PictureCache* cache, int jobs);
  AnalysisPipeline(const AnalysisPipeline&) = delete;
  AnalysisPipeline& operator=(const AnalysisPipeline&) = delete;
  // Lets every worker finish the picture in its hands, then joins them: once it returns,
  // no analysis runs and the cache is no longer touched.
  ~AnalysisPipeline();

  // The analysis of picture k, k counting up from 0 by one at each call. Waits for it as
  // long as it takes, running pump at least every PumpInterval meanwhile, and throws what
  // its analysis threw (not a failure to load: that is an analysis with Analysed false).
  // A throw from pump leaves the pipeline for destruction only.
  PictureAnalysis Take(std::int32_t k, const std::function<void()>& pump);

  // Pictures analysed or held ahead of the one last taken, at most.
  std::int32_t Ahead() const { return ahead_; }

 private:
  enum class SlotState { Queued, Running, Done };
  struct Slot {
    SlotState State = SlotState::Done;
    std::string Path;
    PictureAnalysis Result;
    std::exception_ptr Error;
  };

  Slot& SlotOf(std::int32_t k) { return slots_[static_cast<std::size_t>(k % ahead_)]; }
  void StartWorkers(int count);
  void Feed(std::int32_t end);
  bool WorkWaiting();
  void Work();
  void Stop();

  const std::int32_t count_;
  const std::int32_t ahead_;
  const PathOf pathOf_;
  const TSettings settings_;
  PictureCache* const cache_;

  std::mutex mutex_;
  std::condition_variable workAvailable_;  // a slot queued, or stopping
  std::condition_variable resultReady_;    // a slot done
  std::vector<Slot> slots_;                // picture k in slot k % ahead_, from taken_ to fed_ - 1
  std::int32_t taken_ = 0;                 // pictures handed to the consumer
  std::int32_t fed_ = 0;                   // pictures whose path was formed
  std::int32_t next_ = 0;                  // the first picture no worker has begun
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace tessimar
