#include "analysis/pair_compare.h"

#include <algorithm>
#include <memory>

#include "analysis/file_probe.h"

namespace tessimar {
namespace {

constexpr double MatchScore = 50;
// The fewest agreeing slots that reach MatchScore.
constexpr int MatchCount = SignatureSize / 2;

double ShapeRatio(const TPicInfo& picture) {
  const double longer = std::max(picture.Width, picture.Height);
  const double shorter = std::min(picture.Width, picture.Height);
  return longer / shorter;
}

// The agreement score of picture k with the earlier picture i, 0 to 100; below 50 when
// they do not match, without always counting to the end.
double Score(const Catalogue& catalogue, std::int32_t k, std::int32_t i, const SignArray& current,
             bool identicalOnly, const std::function<void()>& pump) {
  const TPicInfo& picture = catalogue.PicList[static_cast<std::size_t>(k)];
  const TPicInfo& earlier = catalogue.PicList[static_cast<std::size_t>(i)];
  if (earlier.CCVStage != TCCVStage::Full || !ShapesComparable(picture, earlier)) return 0;
  // Equal probes hand the decision to the bytes alone.
  if (picture.PreBuffer == earlier.PreBuffer)
    return FilesEqual(catalogue.FullPath(k), catalogue.FullPath(i), pump) ? 100 : 0;
  if (identicalOnly) return 0;
  return AgreementScore(AgreementCount(earlier, current, MatchCount));
}

}  // namespace

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

std::optional<TPicturePair> FindMatch(const Catalogue& catalogue, std::int32_t k, const CoefficientArray& current,
                                      bool identicalOnly, const std::function<void()>& pump) {
  const auto signs = std::make_unique<SignArray>(SignsOf(current));
  for (std::int32_t i = k - 1; i >= 0; --i) {
    if (const auto similarity = SimilarityOfScore(Score(catalogue, k, i, *signs, identicalOnly, pump)))
      return TPicturePair{i, k, *similarity};
  }
  return std::nullopt;
}

}  // namespace tessimar
