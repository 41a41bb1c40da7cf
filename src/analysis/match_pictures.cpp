#include "analysis/match_pictures.h"

#include <algorithm>
#include <exception>
#include <optional>

#include "analysis/file_probe.h"
#include "analysis/match_texts.h"
#include "analysis/pair_finder.h"
#include "analysis/picture_loader.h"
#include "analysis/picture_signature.h"
#include "analysis/signature/select_signature.h"

namespace tessimar {
namespace {

// No picture smaller than this on either side is analysed, whatever the settings say.
constexpr std::int32_t MinimumSide = 5;

}  // namespace

MatchingPass::MatchingPass(Catalogue& catalogue, const TSettings& settings, ScanHost& host,
                           const std::atomic<bool>& scanStopped, PictureCache* cache)
    : catalogue_(catalogue),
      settings_(settings),
      host_(host),
      scanStopped_(scanStopped),
      cache_(cache),
      finder_(catalogue, settings.SearchOnlyIdentical) {}

void MatchingPass::MatchPictures() {
  bitmap_ = std::make_unique<WorkingBitmap>();
  coefficients_ = std::make_unique<CoefficientArray>();
  for (std::int32_t k = 0; k < catalogue_.PicListCapacity; ++k) {
    host_.PumpMessages();
    if (scanStopped_) return;
    catalogue_.LastPicIndex = k;
    if (!Analyse(k)) continue;
    CompareWithEarlier(k);
    ShowProgress(k + 1);
  }
  ShowProgress(catalogue_.LastPicIndex + 1);
}

// Records picture k's size, probe and signature; false when it is passed over.
bool MatchingPass::Analyse(std::int32_t k) {
  const CachedAnalysis analysis = AnalysisOf(catalogue_.FullPath(k));
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

// The analysis of the file at path: the cached one while the file is unchanged, which
// also leaves its truncated coefficients in coefficients_, else a fresh one, remembered.
CachedAnalysis MatchingPass::AnalysisOf(const std::string& path) {
  const AnalysisKey key = AnalysisKey::Of(settings_);
  const std::optional<FileStamp> stamp = cache_ != nullptr ? StampOf(path) : std::nullopt;
  if (stamp) {
    if (auto cached = cache_->Find(path, *stamp, key)) {
      if (cached->Analysed && !settings_.SearchOnlyIdentical)
        SignatureCoefficients(cached->WaveletCoefsPos, cached->WaveletCoefsNeg, *coefficients_);
      return *cached;
    }
  }
  const CachedAnalysis fresh = Decode(path);
  if (stamp) cache_->Store(path, *stamp, key, fresh);
  return fresh;
}

// Loads and analyses the file at path.
CachedAnalysis MatchingPass::Decode(const std::string& path) {
  CachedAnalysis analysis;
  PictureSize size;
  try {
    size = LoadPicture(path, *bitmap_, settings_);
  } catch (const std::exception&) {
    return analysis;  // a picture that cannot be loaded is passed over without a word
  }
  if (size.Height < std::max(settings_.MinPicHeight, MinimumSide) ||
      size.Width < std::max(settings_.MinPicWidth, MinimumSide))
    return analysis;

  analysis.Analysed = true;
  analysis.Height = size.Height;
  analysis.Width = size.Width;
  ReadPreBuffer(path, analysis.PreBuffer);
  if (!settings_.SearchOnlyIdentical)
    PictureSignature(*bitmap_, *coefficients_, analysis.WaveletCoefsPos, analysis.WaveletCoefsNeg);
  return analysis;
}

void MatchingPass::CompareWithEarlier(std::int32_t k) {
  const auto pair = finder_.FindMatch(k, [this] { host_.PumpMessages(); });
  finder_.Add(k);
  if (!pair) return;
  catalogue_.AppendPair(*pair);
  host_.SetCaption(Caption::CurrentDuplicatesFound,
                   std::string(CurrentDuplicatesPrefix) + std::to_string(catalogue_.LastPairIndex + 1));
}

void MatchingPass::ShowProgress(std::int32_t done) {
  host_.SetCaption(Caption::FilesCount, std::string(MatchProgressPrefix) + std::to_string(done) + " / " +
                                            std::to_string(catalogue_.PicListCapacity));
}

}  // namespace tessimar
