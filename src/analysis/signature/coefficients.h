// The coefficient array of one picture: its gray levels less their mean, decomposed and truncated.
#pragma once

#include <cstdint>

#include "analysis/signature/signature_arrays.h"

namespace tessimar {

// Fills a with bitmap's levels less mean, decomposes it and truncates it to +1 / -1 / 0.
void ComputeCoefficients(const GrayPixels& bitmap, CoefficientArray& a, std::int32_t mean);

}  // namespace tessimar
