// The 3 x 3 median filter that takes single-pixel noise out of the gray bitmap.
#pragma once

#include "analysis/signature/signature_arrays.h"

namespace tessimar {

// Filters bitmap in place; the outermost rows and columns keep their values.
void MedianFilter(GrayPixels& bitmap);

}  // namespace tessimar
