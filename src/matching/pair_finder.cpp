#include "matching/pair_finder.h"

#include <algorithm>

#include "analysis/file_probe.h"
#include "matching/pair_compare.h"
#include "matching/stop_latch.h"

namespace tessimar {
namespace {

const TPicInfo& At(const Catalogue& catalogue, std::int32_t index) {
  return catalogue.PicList[static_cast<std::size_t>(index)];
}

}  // namespace

PairFinder::PairFinder(const Catalogue& catalogue, bool identicalOnly, bool useIndex)
    : catalogue_(catalogue),
      identicalOnly_(identicalOnly),
      useIndex_(useIndex),
      copies_(catalogue),
      current_(std::make_unique<CodeBits>()) {
  if (useIndex_ && !identicalOnly_) byCode_.resize(TokenCount);
}

PairFinder::~PairFinder() = default;

void PairFinder::Add(std::int32_t k) { CatchUp(k + 1); }

void PairFinder::CatchUp(std::int32_t end) {
  for (; nextToRecord_ < end; ++nextToRecord_) Record(nextToRecord_);
}

void PairFinder::Record(std::int32_t index) {
  const TPicInfo& picture = At(catalogue_, index);
  if (picture.CCVStage != TCCVStage::Full) return;  // only analysed pictures take part
  const auto entry = static_cast<std::uint32_t>(earlier_.size());
  Earlier earlier{.Index = index,
                  .ShapeRatio = ShapeRatio(picture),
                  .Identity = picture.Identity,
                  .CodesBegin = codes_.size()};
  if (useIndex_) copies_.Add(index);
  if (!identicalOnly_) {
    const SignatureTokens tokens = TokensOf(picture);
    earlier.Regular = tokens.Regular;
    if (!tokens.Regular) {
      irregular_.push_back(entry);
    } else {
      std::vector<std::uint16_t> codes;
      for (const SignatureToken token : tokens.Tokens) codes.push_back(TokenCode(token));
      std::sort(codes.begin(), codes.end());
      earlier.CodeCount = static_cast<std::uint16_t>(codes.size());
      // A signature of fewer than 125 tokens can never agree in 125: never compared by it.
      if (codes.size() >= static_cast<std::size_t>(MatchCount)) {
        codes_.insert(codes_.end(), codes.begin(), codes.end());
        if (useIndex_) {
          const std::size_t prefix = codes.size() - MatchCount + PrefixExtra;
          for (std::size_t i = 0; i < std::min(prefix, codes.size()); ++i) byCode_[codes[i]].push_back(entry);
        }
      }
    }
  }
  earlier_.push_back(earlier);
  if (useIndex_ && !identicalOnly_) shared_.push_back(0);
}

bool PairFinder::Comparable(const Earlier& earlier, double shapeRatio, const FileIdentity& identity,
                            std::int32_t k) const {
  return earlier.Index < k &&
         std::max(shapeRatio, earlier.ShapeRatio) / std::min(shapeRatio, earlier.ShapeRatio) <= MaxShapeQuotient &&
         earlier.Identity != identity;
}

std::optional<TPicturePair> PairFinder::FindMatch(std::int32_t k, const std::function<bool()>& goOn) {
  CatchUp(k);
  StopLatch going(goOn);
  // An exact copy outranks a nearer look-alike: a copy is always reported as a copy.
  if (auto copy = FindCopy(k, std::ref(going))) return copy;
  if (identicalOnly_ || going.Stopped()) return std::nullopt;
  return FindLookAlike(k);
}

// The nearest earlier file with the same bytes as picture k. Only equal probes call for the byte
// comparison.
std::optional<TPicturePair> PairFinder::FindCopy(std::int32_t k, const std::function<bool()>& goOn) {
  const TPicInfo& picture = At(catalogue_, k);
  const double shapeRatio = ShapeRatio(picture);
  auto comparable = [&](std::uint32_t entry) { return Comparable(earlier_[entry], shapeRatio, picture.Identity, k); };
  if (useIndex_) {
    const auto entry = copies_.Find(k, comparable, goOn);
    if (!entry) return std::nullopt;
    return TPicturePair{earlier_[*entry].Index, k, 100};
  }
  const std::string path = catalogue_.FullPath(k);
  for (auto entry = static_cast<std::uint32_t>(earlier_.size()); entry-- > 0;) {
    const std::int32_t index = earlier_[entry].Index;
    if (comparable(entry) && At(catalogue_, index).PreBuffer == picture.PreBuffer &&
        FilesEqual(path, catalogue_.FullPath(index), goOn))
      return TPicturePair{index, k, 100};
  }
  return std::nullopt;
}

// The comparisons jump from one earlier signature to another: fetching the next ones early hides
// the wait for memory, most of the cost of a comparison once there are many.
void PairFinder::Prefetch(std::uint32_t entry) const {
  const Earlier& earlier = earlier_[entry];
  const std::uint16_t* codes = codes_.data() + earlier.CodesBegin;
  // A comparison that gives up reads the first 130 to 150 codes.
  for (std::size_t offset = 0; offset < 160 && offset < earlier.CodeCount; offset += 32)
    __builtin_prefetch(codes + offset);
}

std::optional<TPicturePair> PairFinder::Verify(std::uint32_t entry, std::int32_t k, double shapeRatio,
                                               const FileIdentity& identity) {
  const Earlier& earlier = earlier_[entry];
  if (!Comparable(earlier, shapeRatio, identity, k)) return std::nullopt;
  int count = 0;
  if (!earlier.Regular) {
    count = LiteralAgreementCount(At(catalogue_, earlier.Index), *current_, MatchCount);
  } else if (earlier.CodeCount >= MatchCount) {
    count = CompactAgreementCount({codes_.data() + earlier.CodesBegin, earlier.CodeCount}, *current_, MatchCount);
  }
  if (count < MatchCount) return std::nullopt;
  return TPicturePair{earlier.Index, k, *SimilarityOfScore(AgreementScore(count))};
}

// The nearest earlier picture whose signature agrees with k's in 125 tokens or more.
std::optional<TPicturePair> PairFinder::FindLookAlike(std::int32_t k) {
  const TPicInfo& picture = At(catalogue_, k);
  const double shapeRatio = ShapeRatio(picture);
  current_->Assign(picture);
  // Without the index every earlier picture is compared, newest first. With it only the newest
  // RecentFirst are: in a run of look-alikes (a burst, a time-lapse) the match is among them,
  // where the index would gather nearly every earlier picture of the run as a candidate.
  // Comparing a picture that is no candidate finds no match, so the order stays the plain scan's.
  const std::size_t older = useIndex_ && earlier_.size() > RecentFirst ? earlier_.size() - RecentFirst : 0;
  for (std::size_t entry = earlier_.size(); entry-- > older;) {
    if (entry >= older + PrefetchDistance) Prefetch(static_cast<std::uint32_t>(entry - PrefetchDistance));
    if (auto pair = Verify(static_cast<std::uint32_t>(entry), k, shapeRatio, picture.Identity)) return pair;
  }
  if (older == 0) return std::nullopt;
  // Every regular earlier picture that agrees in 125 tokens shares PrefixExtra tokens of its
  // indexed prefix with k's queried prefix (the first PrefixExtra agreeing tokens in the global
  // order lie in both); the irregular ones are all compared.
  std::vector<std::uint32_t> candidates;
  const std::vector<std::uint16_t>& codes = current_->Codes();
  if (codes.size() >= static_cast<std::size_t>(MatchCount)) {
    const std::size_t prefix = std::min(codes.size(), codes.size() - MatchCount + PrefixExtra);
    for (std::size_t i = 0; i < prefix; ++i)
      for (const std::uint32_t entry : byCode_[codes[i]])
        if (++shared_[entry] == PrefixExtra && entry < older) candidates.push_back(entry);
    std::fill(shared_.begin(), shared_.end(), std::uint8_t{0});
  }
  for (const std::uint32_t entry : irregular_) {
    if (entry < older) candidates.push_back(entry);
  }
  std::sort(candidates.begin(), candidates.end(), std::greater<>());
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    if (i + PrefetchDistance < candidates.size()) Prefetch(candidates[i + PrefetchDistance]);
    if (auto pair = Verify(candidates[i], k, shapeRatio, picture.Identity)) return pair;
  }
  return std::nullopt;
}

}  // namespace tessimar
