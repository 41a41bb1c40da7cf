#include "analysis/signature/coefficients.h"

#include "analysis/signature/haar.h"
#include "analysis/signature/truncate.h"

namespace tessimar {

void ComputeCoefficients(const GrayPixels& bitmap, CoefficientArray& a, std::int32_t mean) {
  for (std::size_t p = 0; p < a.size(); ++p) a[p] = static_cast<double>(bitmap[p] - mean);
  HaarDecompose(a);
  TruncateCoefficients(a);
}

}  // namespace tessimar
