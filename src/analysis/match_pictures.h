// The matching pass: analyses every catalogued picture in order and pairs it with the
// nearest earlier picture that matches.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "analysis/pair_finder.h"
#include "analysis/signature/signature_arrays.h"
#include "analysis/working_bitmap.h"
#include "cache/picture_cache.h"
#include "catalogue/catalogue.h"
#include "platform/scan_host.h"
#include "settings/settings.h"

namespace tessimar {

class MatchingPass {
 public:
  // cache: where analyses of unchanged files are taken from and new ones remembered;
  // nullptr analyses every file.
  MatchingPass(Catalogue& catalogue, const TSettings& settings, ScanHost& host, const std::atomic<bool>& scanStopped,
               PictureCache* cache = nullptr);

  // Expects the catalogue trimmed and the pair list allocated; stops at the next picture
  // once scanStopped is set, keeping the pairs found so far.
  void MatchPictures();

 private:
  bool Analyse(std::int32_t k);
  CachedAnalysis AnalysisOf(const std::string& path);
  CachedAnalysis Decode(const std::string& path);
  void CompareWithEarlier(std::int32_t k);
  void ShowProgress(std::int32_t done);

  Catalogue& catalogue_;
  const TSettings& settings_;
  ScanHost& host_;
  const std::atomic<bool>& scanStopped_;
  PictureCache* cache_;
  // One of each for the whole pass, not per picture.
  std::unique_ptr<WorkingBitmap> bitmap_;
  std::unique_ptr<CoefficientArray> coefficients_;
  // The earlier analysed pictures, indexed for the comparisons.
  PairFinder finder_;
};

}  // namespace tessimar
