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

const TPicInfo& At(const Catalogue& catalogue, std::int32_t index) {
  return catalogue.PicList[static_cast<std::size_t>(index)];
}

// Only analysed pictures of a similar shape are compared at all, and never two names of
// one file: deleting one of them would delete both.
bool Comparable(const TPicInfo& picture, const TPicInfo& earlier) {
  return earlier.CCVStage == TCCVStage::Full && ShapesComparable(picture, earlier) &&
         earlier.Identity != picture.Identity;
}

// The nearest earlier file with the same bytes as picture k.
std::optional<TPicturePair> FindCopy(const Catalogue& catalogue, std::int32_t k, const std::function<void()>& pump) {
  const TPicInfo& picture = At(catalogue, k);
  for (std::int32_t i = k - 1; i >= 0; --i) {
    const TPicInfo& earlier = At(catalogue, i);
    if (Comparable(picture, earlier) && picture.PreBuffer == earlier.PreBuffer &&
        FilesEqual(catalogue.FullPath(k), catalogue.FullPath(i), pump))
      return TPicturePair{i, k, 100};
  }
  return std::nullopt;
}

// The nearest earlier picture whose signature matches. Files with equal probes but other
// bytes are compared like any others: every JPEG one program saves at one size and
// quality starts with the same 256 bytes.
std::optional<TPicturePair> FindLookAlike(const Catalogue& catalogue, std::int32_t k, const SignArray& current) {
  const TPicInfo& picture = At(catalogue, k);
  for (std::int32_t i = k - 1; i >= 0; --i) {
    const TPicInfo& earlier = At(catalogue, i);
    if (!Comparable(picture, earlier)) continue;
    if (const auto similarity = SimilarityOfScore(AgreementScore(AgreementCount(earlier, current, MatchCount))))
      return TPicturePair{i, k, *similarity};
  }
  return std::nullopt;
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
  // An exact copy outranks a nearer look-alike: a copy is always reported as a copy.
  if (auto copy = FindCopy(catalogue, k, pump)) return copy;
  if (identicalOnly) return std::nullopt;
  return FindLookAlike(catalogue, k, *std::make_unique<SignArray>(SignsOf(current)));
}

}  // namespace tessimar
