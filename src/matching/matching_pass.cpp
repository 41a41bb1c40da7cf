#include "matching/matching_pass.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <system_error>

#include "analysis/analysis_pipeline.h"
#include "analysis/synchronized_picture_cache.h"
#include "matching/match_texts.h"
#include "matching/pair_finder.h"

namespace tessimar {

MatchingPass::MatchingPass(Catalogue& catalogue, const TSettings& settings, ScanHost& host,
                           const std::atomic<bool>& scanStopped, PictureCache* cache, int jobs)
    : catalogue_(catalogue),
      settings_(settings),
      host_(host),
      scanStopped_(scanStopped),
      cache_(cache),
      jobs_(std::max(jobs, 0)),
      finder_(catalogue, settings.SearchOnlyIdentical) {}

void MatchingPass::MatchPictures() {
  const std::function<void()> pump = [this] { host_.PumpMessages(); };
  // The workers read no record: the paths are formed here, on this thread. They share the
  // cache one call at a time, and end with the pipeline, however the pass ends.
  std::optional<SynchronizedPictureCache> sharedCache;
  if (jobs_ > 0 && cache_ != nullptr) sharedCache.emplace(*cache_);
  const std::unique_ptr<AnalysisPipeline> pipeline = StartPipeline(sharedCache ? &*sharedCache : nullptr);
  if (pipeline == nullptr) workspace_ = std::make_unique<AnalysisWorkspace>();
  for (std::int32_t k = 0; k < catalogue_.PicListCapacity; ++k) {
    host_.PumpMessages();
    if (scanStopped_) return;
    catalogue_.LastPicIndex = k;
    const PictureAnalysis analysis = pipeline != nullptr
                                        ? pipeline->Take(k, pump)
                                        : AnalysePicture(catalogue_.FullPath(k), settings_, cache_, *workspace_);
    if (!Record(k, analysis)) continue;
    if (!CompareWithEarlier(k)) return;
    ShowProgress(k + 1);
  }
  ShowProgress(catalogue_.LastPicIndex + 1);
}

// The workers for jobs, as many as can start; none for no jobs, or when the system refuses
// every thread: this thread then analyses each picture itself, with the same results.
std::unique_ptr<AnalysisPipeline> MatchingPass::StartPipeline(PictureCache* sharedCache) {
  if (jobs_ == 0) return nullptr;
  try {
    return std::make_unique<AnalysisPipeline>(
        catalogue_.PicListCapacity, [this](std::int32_t k) { return catalogue_.FullPath(k); }, settings_, sharedCache,
        jobs_);
  } catch (const std::system_error&) {
    return nullptr;
  }
}

// Records picture k's size, probe and signature; false when it is passed over.
bool MatchingPass::Record(std::int32_t k, const PictureAnalysis& analysis) {
  if (!analysis.Analysed) return false;
  TPicInfo& picture = catalogue_.PicList[static_cast<std::size_t>(k)];
  picture.Height = analysis.Height;
  picture.Width = analysis.Width;
  picture.PreBuffer = analysis.PreBuffer;
  picture.WaveletCoefsPos = analysis.WaveletCoefsPos;
  picture.WaveletCoefsNeg = analysis.WaveletCoefsNeg;
  picture.CCVStage = TCCVStage::Full;
  return true;
}

// False when a stop cut the comparisons short: their outcome is unknown, so nothing is kept.
bool MatchingPass::CompareWithEarlier(std::int32_t k) {
  bool cut = false;
  const auto pair = finder_.FindMatch(k, [&] {
    host_.PumpMessages();
    cut = scanStopped_;
    return !cut;
  });
  if (cut) return false;
  finder_.Add(k);
  if (!pair) return true;
  catalogue_.AppendPair(*pair);
  host_.SetCaption(Caption::CurrentDuplicatesFound,
                   std::string(CurrentDuplicatesPrefix) + std::to_string(catalogue_.LastPairIndex + 1));
  return true;
}

void MatchingPass::ShowProgress(std::int32_t done) {
  host_.SetCaption(Caption::FilesCount, std::string(MatchProgressPrefix) + std::to_string(done) + " / " +
                                            std::to_string(catalogue_.PicListCapacity));
}

}  // namespace tessimar
