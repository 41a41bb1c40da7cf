#include "analysis/analysis_pipeline.h"

#include <algorithm>
#include <stdexcept>
#include <system_error>

#include "analysis/analyse_picture.h"

namespace tessimar {

int DefaultJobs() { return static_cast<int>(std::max(1u, std::thread::hardware_concurrency())); }

AnalysisPipeline::AnalysisPipeline(std::int32_t count, PathOf pathOf, const TSettings& settings, PictureCache* cache,
                                   int jobs)
    : count_(std::max(count, 0)),
      ahead_(AheadPerJob * std::clamp(jobs, 1, MaxJobs)),
      pathOf_(std::move(pathOf)),
      settings_(settings),
      cache_(cache),
      slots_(static_cast<std::size_t>(ahead_)) {
  const int workers = std::min(std::clamp(jobs, 1, MaxJobs), count_);
  workers_.reserve(static_cast<std::size_t>(workers));
  try {
    StartWorkers(workers);
    Feed(ahead_);  // the workers start before the first picture is asked for
  } catch (...) {
    Stop();
    throw;
  }
}

// A process may be refused threads (its limit of processes, or of address space for their
// stacks): fewer workers only analyse more slowly, so only a refusal of every one is thrown.
void AnalysisPipeline::StartWorkers(int count) {
  for (int i = 0; i < count; ++i) {
    try {
      workers_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
      if (workers_.empty()) throw;
      return;
    }
  }
}

AnalysisPipeline::~AnalysisPipeline() { Stop(); }

void AnalysisPipeline::Stop() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  workAvailable_.notify_all();
  for (std::thread& worker : workers_)
    if (worker.joinable()) worker.join();
}

// Forms the paths of the pictures up to end (not included) on the consumer's thread and
// queues them; only the consumer writes fed_.
void AnalysisPipeline::Feed(std::int32_t end) {
  end = std::min(end, count_);
  while (fed_ < end) {
    Slot slot;
    try {
      slot.Path = pathOf_(fed_);
      slot.State = SlotState::Queued;
    } catch (...) {
      slot.Error = std::current_exception();  // thrown when picture fed_ is taken, as the pass would
    }
    {
      const std::lock_guard lock(mutex_);
      SlotOf(fed_) = std::move(slot);
      ++fed_;
    }
    workAvailable_.notify_one();
  }
}

// True when a queued picture waits for a worker, next_ then naming it. Called with the lock.
bool AnalysisPipeline::WorkWaiting() {
  while (next_ < fed_ && SlotOf(next_).State == SlotState::Done) ++next_;  // a path that could not be formed
  return next_ < fed_;
}

void AnalysisPipeline::Work() {
  std::unique_ptr<AnalysisWorkspace> workspace;  // made at the first picture, kept for the others
  std::unique_lock lock(mutex_);
  for (;;) {
    workAvailable_.wait(lock, [this] { return stopping_ || WorkWaiting(); });
    if (stopping_) return;
    // Slot k is not used for another picture before the consumer has taken k, which it
    // does only once the slot is done.
    Slot& slot = SlotOf(next_++);
    slot.State = SlotState::Running;
    const std::string path = std::move(slot.Path);
    lock.unlock();
    PictureAnalysis result;
    std::exception_ptr error;
    try {
      if (workspace == nullptr) workspace = std::make_unique<AnalysisWorkspace>();
      result = AnalysePicture(path, settings_, cache_, *workspace);
    } catch (...) {
      error = std::current_exception();
    }
    lock.lock();
    slot.Result = result;
    slot.Error = error;
    slot.State = SlotState::Done;
    resultReady_.notify_all();
  }
}

PictureAnalysis AnalysisPipeline::Take(std::int32_t k, const std::function<void()>& pump) {
  if (k != taken_ || k >= count_) throw std::logic_error("analyses are taken in catalogue order");
  Feed(k + ahead_);
  Slot slot;
  {
    std::unique_lock lock(mutex_);
    Slot& waited = SlotOf(k);
    while (!resultReady_.wait_for(lock, PumpInterval, [&] { return waited.State == SlotState::Done; })) {
      lock.unlock();
      pump();  // should it throw, the lock is not held and the destructor ends the workers
      lock.lock();
    }
    slot = std::move(waited);
    taken_ = k + 1;
    next_ = std::max(next_, taken_);  // never a slot that now belongs to a later picture
  }
  if (slot.Error) std::rethrow_exception(slot.Error);
  Feed(taken_ + ahead_);
  return slot.Result;
}

}  // namespace tessimar
