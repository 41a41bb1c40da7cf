// Reduction of the decomposed array to the signs of its strongest coefficients.
#pragma once

#include <cstdint>

#include "analysis/signature/signature_arrays.h"

namespace tessimar {

// Sets each element whose magnitude is strictly above the 251st largest magnitude to +1.0 or
// -1.0 by its sign and every other element, the average at (0, 0) always among them, to 0.0.
// Returns the number of elements set to +1.0 or -1.0: at most 250, fewer when magnitudes tie
// at the threshold.
std::int32_t TruncateCoefficients(CoefficientArray& a);

}  // namespace tessimar
