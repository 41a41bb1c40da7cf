// One comparison of the picture under analysis with an earlier one.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "analysis/signature/signature_arrays.h"
#include "catalogue/catalogue.h"

namespace tessimar {

// Pictures whose shapes (longer side over shorter, either orientation) differ by more
// than this factor are never compared.
inline constexpr double MaxShapeQuotient = 1.5;

bool ShapesComparable(const TPicInfo& a, const TPicInfo& b);

// Slots of earlier's signature whose sign the current coefficients share.
int AgreementCount(const TPicInfo& earlier, const CoefficientArray& current);

// The similarity of a pair with this agreement score (0 to 100), or nothing below 50.
std::optional<double> SimilarityOfScore(double score);

// The score of count agreeing slots out of the full signature.
double AgreementScore(int count);

// The pair of picture k with the nearest earlier analysed picture that matches it, if
// any. current: k's truncated coefficients. Equal probes are settled by comparing the
// files' bytes, with pump run after every block read.
std::optional<TPicturePair> FindMatch(const Catalogue& catalogue, std::int32_t k, const CoefficientArray& current,
                                      bool identicalOnly, const std::function<void()>& pump);

}  // namespace tessimar
