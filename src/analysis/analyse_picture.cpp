#include "analysis/analyse_picture.h"

#include <exception>
#include <optional>

#include "analysis/file_probe.h"
#include "analysis/picture_signature.h"
#include "decode/picture_loader.h"

namespace tessimar {
namespace {

// Loads and analyses the file at path.
PictureAnalysis Decode(const std::string& path, const TSettings& settings, AnalysisWorkspace& workspace) {
  PictureAnalysis analysis;
  PictureSize size;
  try {
    size = LoadPicture(path, workspace.Bitmap, settings);
  } catch (const std::exception&) {
    return analysis;  // a picture that cannot be loaded is passed over without a word
  }
  if (!AnalysisKey::Of(settings).LargeEnough(size.Height, size.Width)) return analysis;

  analysis.Analysed = true;
  analysis.Height = size.Height;
  analysis.Width = size.Width;
  ReadPreBuffer(path, analysis.PreBuffer);
  if (!settings.SearchOnlyIdentical)
    PictureSignature(workspace.Bitmap, workspace.Coefficients, analysis.WaveletCoefsPos, analysis.WaveletCoefsNeg);
  return analysis;
}

}  // namespace

PictureAnalysis AnalysePicture(const std::string& path, const TSettings& settings, PictureCache* cache,
                               AnalysisWorkspace& workspace) {
  const AnalysisKey key = AnalysisKey::Of(settings);
  const std::optional<FileStamp> stamp = cache != nullptr ? StampOf(path) : std::nullopt;
  if (stamp) {
    if (auto cached = cache->Find(path, *stamp, key)) return *cached;
  }
  const PictureAnalysis fresh = Decode(path, settings, workspace);
  if (stamp) cache->Store(path, *stamp, key, fresh);
  return fresh;
}

}  // namespace tessimar
