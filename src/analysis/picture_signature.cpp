#include "analysis/picture_signature.h"

#include "analysis/signature/bitmap_mean.h"
#include "analysis/signature/coefficients.h"
#include "analysis/signature/gray.h"
#include "analysis/signature/select_signature.h"

namespace tessimar {

void PictureSignature(WorkingBitmap& bitmap, CoefficientArray& coefficients, TWaveletCoefs& positive,
                      TWaveletCoefs& negative) {
  const GrayPixels gray = MakeGrayBitmap(bitmap.Pixels, 1);
  ComputeCoefficients(gray, coefficients, BitmapMean(gray));
  SelectSignature(coefficients, positive, negative);
}

}  // namespace tessimar
