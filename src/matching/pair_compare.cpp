#include "matching/pair_compare.h"

#include <algorithm>

namespace tessimar {
namespace {

constexpr double MatchScore = 50;

}  // namespace

double ShapeRatio(const TPicInfo& picture) {
  const double longer = std::max(picture.Width, picture.Height);
  const double shorter = std::min(picture.Width, picture.Height);
  return longer / shorter;
}

bool ShapesComparable(const TPicInfo& a, const TPicInfo& b) {
  const double ra = ShapeRatio(a), rb = ShapeRatio(b);
  return std::max(ra, rb) / std::min(ra, rb) <= MaxShapeQuotient;
}

SignArray SignsOf(const CoefficientArray& coefficients) {
  SignArray signs{};
  std::transform(coefficients.begin(), coefficients.end(), signs.begin(),
                 [](double c) { return static_cast<std::int8_t>((c > 0) - (c < 0)); });
  return signs;
}

int AgreementCount(const TPicInfo& earlier, const SignArray& current, int needed) {
  int count = 0;
  // A signature keeps at most SignatureSize positions in its two lists together, so each
  // kept position that disagrees lowers the count still within reach by one.
  int reachable = SignatureSize;
  for (const auto& [positions, sign] : {std::pair{&earlier.WaveletCoefsPos, 1}, {&earlier.WaveletCoefsNeg, -1}}) {
    for (const TWaveletPoint& p : *positions) {
      if (p == TWaveletPoint{}) continue;  // (0, 0) marks an unused slot
      if (current[ElementIndex(p.X, p.Y)] == sign) {
        ++count;
      } else if (--reachable < needed) {
        return count;
      }
    }
  }
  return count;
}

double AgreementScore(int count) { return count * 100.0 / SignatureSize; }

std::optional<double> SimilarityOfScore(double score) {
  if (score < MatchScore) return std::nullopt;
  return std::clamp((score - MatchScore) * 2, 1.0, 100.0);
}

}  // namespace tessimar
