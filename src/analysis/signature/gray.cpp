#include "analysis/signature/gray.h"

#include <cstdlib>
#include <stdexcept>

#include "analysis/signature/median_filter.h"

namespace tessimar {
namespace {

constexpr int GrayLevels = 256;
using LevelMap = std::array<std::uint8_t, GrayLevels>;

std::uint8_t GrayLevel(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  // Exact on purpose: 80-bit products and sums, left to right, then truncated; double
  // arithmetic darkens a different set of levels and so changes signatures.
  const long double level = 0.3L * red + 0.59L * green + 0.11L * blue;
  return static_cast<std::uint8_t>(level);
}

// For each gray level, the index of the nearest entry of the palette whose entry i is
// step * (i / step); of equally near entries the first wins. The halftone stage that the
// levels pass through first holds all 256 grays, so it changes nothing and is left out.
LevelMap NearestPaletteIndex(int step) {
  LevelMap palette{};
  for (int i = 0; i < GrayLevels; ++i) palette[i] = static_cast<std::uint8_t>(step * (i / step));
  LevelMap nearest{};
  for (int level = 0; level < GrayLevels; ++level) {
    int best = 0;
    for (int i = 1; i < GrayLevels; ++i) {
      if (std::abs(palette[i] - level) < std::abs(palette[best] - level)) best = i;
    }
    nearest[level] = static_cast<std::uint8_t>(best);
  }
  return nearest;
}

}  // namespace

void ConvertToGray(RgbPixels& bitmap) {
  for (std::size_t p = 0; p < bitmap.size(); p += 3) {
    const std::uint8_t gray = GrayLevel(bitmap[p], bitmap[p + 1], bitmap[p + 2]);
    bitmap[p] = bitmap[p + 1] = bitmap[p + 2] = gray;
  }
}

GrayPixels MakeGrayBitmap(RgbPixels& bitmap, int step) {
  if (step < 1) throw std::invalid_argument("MakeGrayBitmap: step must be at least 1");
  ConvertToGray(bitmap);
  const LevelMap nearest = NearestPaletteIndex(step);
  GrayPixels gray{};
  for (std::size_t p = 0; p < gray.size(); ++p) gray[p] = nearest[bitmap[p * 3]];
  MedianFilter(gray);
  return gray;
}

}  // namespace tessimar
