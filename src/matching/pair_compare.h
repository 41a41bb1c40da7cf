// One comparison of the picture under analysis with an earlier one, literally; PairFinder
// (pair_finder.h) finds the pair of a picture.
#pragma once

#include <cstdint>
#include <optional>

#include "analysis/signature/signature_arrays.h"
#include "catalogue/catalogue.h"

namespace tessimar {

// Pictures whose shapes (longer side over shorter, either orientation) differ by more
// than this factor are never compared.
inline constexpr double MaxShapeQuotient = 1.5;

// The longer side over the shorter (>= 1 for an analysed picture).
double ShapeRatio(const TPicInfo& picture);
bool ShapesComparable(const TPicInfo& a, const TPicInfo& b);

// The sign (+1, -1 or 0) of each truncated coefficient: 16 KB that the comparisons of one
// picture read instead of 128 KB of doubles.
using SignArray = std::array<std::int8_t, WorkingPixelCount>;
SignArray SignsOf(const CoefficientArray& coefficients);

// Slots of earlier's signature whose sign the current picture shares. Once the count can
// no longer reach needed, it stops and returns the count so far.
int AgreementCount(const TPicInfo& earlier, const SignArray& current, int needed = 0);

// The similarity of a pair with this agreement score (0 to 100), or nothing below 50.
std::optional<double> SimilarityOfScore(double score);

// The score of count agreeing slots out of the full signature.
double AgreementScore(int count);

}  // namespace tessimar
