#include "analysis/pair_compare.h"

#include <algorithm>

#include "analysis/file_probe.h"

namespace tessimar {
namespace {

constexpr double MatchScore = 50;

double ShapeRatio(const TPicInfo& picture) {
  const double longer = std::max(picture.Width, picture.Height);
  const double shorter = std::min(picture.Width, picture.Height);
  return longer / shorter;
}

// The agreement score of picture k with the earlier picture i, 0 to 100.
double Score(const Catalogue& catalogue, std::int32_t k, std::int32_t i, const CoefficientArray& current,
             bool identicalOnly, const std::function<void()>& pump) {
  const TPicInfo& picture = catalogue.PicList[static_cast<std::size_t>(k)];
  const TPicInfo& earlier = catalogue.PicList[static_cast<std::size_t>(i)];
  if (earlier.CCVStage != TCCVStage::Full || !ShapesComparable(picture, earlier)) return 0;
  // Equal probes hand the decision to the bytes alone.
  if (picture.PreBuffer == earlier.PreBuffer)
    return FilesEqual(catalogue.FullPath(k), catalogue.FullPath(i), pump) ? 100 : 0;
  if (identicalOnly) return 0;
  return AgreementScore(AgreementCount(earlier, current));
}

int CountWhere(const TWaveletCoefs& positions, const CoefficientArray& current, bool positive) {
  int count = 0;
  for (const TWaveletPoint& p : positions) {
    if (p == TWaveletPoint{}) continue;  // (0, 0) marks an unused slot
    const double c = current[ElementIndex(p.X, p.Y)];
    if (positive ? c > 0 : c < 0) ++count;
  }
  return count;
}

}  // namespace

bool ShapesComparable(const TPicInfo& a, const TPicInfo& b) {
  const double ra = ShapeRatio(a), rb = ShapeRatio(b);
  return std::max(ra, rb) / std::min(ra, rb) <= MaxShapeQuotient;
}

int AgreementCount(const TPicInfo& earlier, const CoefficientArray& current) {
  return CountWhere(earlier.WaveletCoefsPos, current, true) + CountWhere(earlier.WaveletCoefsNeg, current, false);
}

double AgreementScore(int count) { return count * 100.0 / SignatureSize; }

std::optional<double> SimilarityOfScore(double score) {
  if (score < MatchScore) return std::nullopt;
  return std::clamp((score - MatchScore) * 2, 1.0, 100.0);
}

std::optional<TPicturePair> FindMatch(const Catalogue& catalogue, std::int32_t k, const CoefficientArray& current,
                                      bool identicalOnly, const std::function<void()>& pump) {
  for (std::int32_t i = k - 1; i >= 0; --i) {
    if (const auto similarity = SimilarityOfScore(Score(catalogue, k, i, current, identicalOnly, pump)))
      return TPicturePair{i, k, *similarity};
  }
  return std::nullopt;
}

}  // namespace tessimar
