#include "analysis/signature/truncate.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tessimar {
namespace {

// Position of the threshold in the ascending magnitudes: 250 elements lie above it.
constexpr std::size_t ThresholdIndex = WorkingPixelCount - SignatureSize - 1;

double Threshold(const CoefficientArray& a) {
  std::vector<double> magnitudes(a.size());
  std::transform(a.begin(), a.end(), magnitudes.begin(), [](double v) { return std::fabs(v); });
  magnitudes[0] = 0.0;  // the average never counts
  // Only the element at ThresholdIndex is needed; it is the one a full ascending sort puts there.
  std::nth_element(magnitudes.begin(), magnitudes.begin() + ThresholdIndex, magnitudes.end());
  return magnitudes[ThresholdIndex];
}

}  // namespace

std::int32_t TruncateCoefficients(CoefficientArray& a) {
  const double threshold = Threshold(a);
  std::int32_t kept = 0;
  a[0] = 0.0;
  for (std::size_t p = 1; p < a.size(); ++p) {
    // Strictly above: every magnitude that ties with the threshold is dropped.
    if (std::fabs(a[p]) > threshold) {
      a[p] = a[p] > 0.0 ? 1.0 : -1.0;
      ++kept;
    } else {
      a[p] = 0.0;
    }
  }
  return kept;
}

}  // namespace tessimar
