// One picture's analysis: all that its comparisons need, whether made now or taken from the
// cache of an earlier scan.
#pragma once

#include <algorithm>
#include <cstdint>

#include "catalogue/pic_info.h"
#include "settings/settings.h"

namespace tessimar {

// Raise whenever decoding or the signature could give other results: a cache written
// under another version is emptied, not read.
inline constexpr std::int32_t AnalysisVersion = 1;

// No picture smaller than this on either side is analysed, whatever the settings say.
inline constexpr std::int32_t MinimumSide = 5;

// The settings that shape an analysis: the minimum sizes choose the JPEG decoding scale
// and which pictures are too small; SearchOnlyIdentical decides whether a signature is made.
struct AnalysisKey {
  std::int32_t MinPicWidth = 0;
  std::int32_t MinPicHeight = 0;
  bool SearchOnlyIdentical = false;

  static AnalysisKey Of(const TSettings& settings) {
    return {settings.MinPicWidth, settings.MinPicHeight, settings.SearchOnlyIdentical};
  }
  friend bool operator==(const AnalysisKey&, const AnalysisKey&) = default;

  // Whether a picture of this size is analysed: neither side below its minimum or MinimumSide.
  bool LargeEnough(std::int32_t height, std::int32_t width) const {
    return height >= std::max(MinPicHeight, MinimumSide) && width >= std::max(MinPicWidth, MinimumSide);
  }
};

struct PictureAnalysis {
  bool Analysed = false;  // false: it failed to load or was too small, and is passed over
  std::int32_t Height = 0;
  std::int32_t Width = 0;
  TPreBuffer PreBuffer{};
  TWaveletCoefs WaveletCoefsPos{};  // all (0, 0) when no signature was made
  TWaveletCoefs WaveletCoefsNeg{};
  friend bool operator==(const PictureAnalysis&, const PictureAnalysis&) = default;
};

}  // namespace tessimar
