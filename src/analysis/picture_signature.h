// The whole signature of a loaded picture, from the working bitmap to the kept positions.
#pragma once

#include "analysis/signature/signature_arrays.h"
#include "catalogue/pic_info.h"
#include "decode/working_bitmap.h"

namespace tessimar {

// Turns bitmap gray, leaves the truncated coefficients in coefficients, and lists the
// positions of the positive and negative ones.
void PictureSignature(WorkingBitmap& bitmap, CoefficientArray& coefficients, TWaveletCoefs& positive,
                      TWaveletCoefs& negative);

}  // namespace tessimar
