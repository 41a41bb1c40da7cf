// The gray picture a signature starts from: colour to gray levels, then the median filter.
#pragma once

#include "analysis/signature/signature_arrays.h"

namespace tessimar {

// Replaces the red, green and blue of every pixel by the pixel's gray level.
void ConvertToGray(RgbPixels& bitmap);

// The working bitmap as median-filtered 8-bit gray levels, each level mapped to the nearest
// multiple of step (step 1, what the matching pass uses, keeps every level). bitmap is left
// gray in all three channels. Throws std::invalid_argument when step is below 1.
GrayPixels MakeGrayBitmap(RgbPixels& bitmap, int step);

}  // namespace tessimar
