// The standard two-dimensional Haar decomposition of the coefficient array.
#pragma once

#include <span>

#include "analysis/signature/signature_arrays.h"

namespace tessimar {

// One-dimensional decomposition of 128 values in place: afterwards a[0] is their average,
// a[1] the coarsest difference (first half against second half), down to the 64 finest
// differences in a[64..127].
void HaarDecomposeRow(std::span<double, NumberOfPixels> a);

// Decomposes every row, then every column, in place.
void HaarDecompose(CoefficientArray& a);

}  // namespace tessimar
