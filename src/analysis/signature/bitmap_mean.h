// The mean gray level that is taken off the pixels before the Haar decomposition.
#pragma once

#include <cstdint>

#include "analysis/signature/signature_arrays.h"

namespace tessimar {

// The sum of all gray levels divided by the pixel count, truncated.
std::int32_t BitmapMean(const GrayPixels& bitmap);

}  // namespace tessimar
