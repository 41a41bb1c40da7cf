#include "analysis/signature/bitmap_mean.h"

#include <numeric>

namespace tessimar {

std::int32_t BitmapMean(const GrayPixels& bitmap) {
  const std::int32_t sum = std::accumulate(bitmap.begin(), bitmap.end(), std::int32_t{0});
  return sum / static_cast<std::int32_t>(bitmap.size());
}

}  // namespace tessimar
