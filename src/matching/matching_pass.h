// The matching pass: analyses every catalogued picture in order and pairs it with the
// nearest earlier picture that matches.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "analysis/analyse_picture.h"
#include "analysis/picture_cache.h"
#include "analysis/signature/signature_arrays.h"
#include "catalogue/catalogue.h"
#include "matching/pair_finder.h"
#include "platform/scan_host.h"
#include "settings/settings.h"

namespace tessimar {

class AnalysisPipeline;

class MatchingPass {
 public:
  // cache: where analyses of unchanged files are taken from and new ones remembered;
  // nullptr analyses every file. jobs: 0 analyses each picture on the calling thread when
  // its turn comes; N >= 1 has N worker threads analyse the pictures ahead (the cache
  // then used by them, one call at a time), with the same pairs, captions and stops; fewer,
  // or none, where the system refuses threads.
  MatchingPass(Catalogue& catalogue, const TSettings& settings, ScanHost& host, const std::atomic<bool>& scanStopped,
               PictureCache* cache = nullptr, int jobs = 0);

  // Expects the catalogue trimmed and the pair list allocated; stops at the next picture
  // once scanStopped is set, or within the comparisons of a picture, keeping the pairs
  // found so far. However it returns, no
  // worker runs any more and the cache is no longer used.
  void MatchPictures();

 private:
  std::unique_ptr<AnalysisPipeline> StartPipeline(PictureCache* sharedCache);
  bool Record(std::int32_t k, const PictureAnalysis& analysis);
  bool CompareWithEarlier(std::int32_t k);
  void ShowProgress(std::int32_t done);

  Catalogue& catalogue_;
  const TSettings& settings_;
  ScanHost& host_;
  const std::atomic<bool>& scanStopped_;
  PictureCache* cache_;
  int jobs_;
  // For the whole pass, not per picture: the bitmap and coefficients a pass without
  // workers analyses in.
  std::unique_ptr<AnalysisWorkspace> workspace_;
  // The earlier analysed pictures, indexed for the comparisons.
  PairFinder finder_;
};

}  // namespace tessimar
