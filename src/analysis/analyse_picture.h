// The analysis of one catalogued picture, as any thread can run it: decoding into the
// working bitmap, the size test, the content probe and the signature, or the cached
// analysis of an unchanged file.
#pragma once

#include <string>

#include "analysis/picture_analysis.h"
#include "analysis/picture_cache.h"
#include "analysis/signature/signature_arrays.h"
#include "decode/working_bitmap.h"
#include "settings/settings.h"

namespace tessimar {

// What one analysis works in: the working bitmap and the coefficient array. Each thread
// that analyses pictures has one of its own, made once and used for picture after picture.
struct AnalysisWorkspace {
  WorkingBitmap Bitmap;
  CoefficientArray Coefficients{};
};

// The analysis of the file at path: the one cache holds for it while the file is
// unchanged, else a fresh one, then remembered in the cache. Analysed is false for a file
// that fails to load for any reason, memory exhausted while decoding included, or is
// smaller than the minimum sizes; a failure after the load (memory exhausted while making
// the signature) is thrown. cache: nullptr analyses every file; from several threads at once
// it must be safe to share (SynchronizedPictureCache). What workspace holds afterwards is
// of no further use: the analysis is all a comparison needs.
PictureAnalysis AnalysePicture(const std::string& path, const TSettings& settings, PictureCache* cache,
                               AnalysisWorkspace& workspace);

}  // namespace tessimar
