#include "review/batch_plan.h"

#include <cstddef>
#include <stdexcept>
#include <utility>

#include "platform/path_text.h"

namespace tessimar {
namespace {

// Every picture's partners in the pairs of the list, built once: the partners of picture i
// are Partners[Begin[i]] to Partners[Begin[i + 1] - 1].
struct PartnerIndex {
  std::vector<std::size_t> Begin;
  std::vector<std::int32_t> Partners;
};

void CheckPicture(const Catalogue& catalogue, std::int32_t picture, std::int32_t pairIndex) {
  if (picture < 0 || static_cast<std::size_t>(picture) >= catalogue.PicList.size())
    throw std::invalid_argument("pair " + std::to_string(pairIndex) + " names picture " + std::to_string(picture) +
                                ", which the catalogue does not hold");
}

PartnerIndex IndexPartners(const Catalogue& catalogue) {
  PartnerIndex index;
  index.Begin.assign(catalogue.PicList.size() + 1, 0);
  for (std::int32_t k = 0; k <= catalogue.LastPairIndex; ++k) {
    const TPicturePair& pair = catalogue.PicturePairs[static_cast<std::size_t>(k)];
    CheckPicture(catalogue, pair.PicIndex1, k);
    CheckPicture(catalogue, pair.PicIndex2, k);
    ++index.Begin[static_cast<std::size_t>(pair.PicIndex1) + 1];
    ++index.Begin[static_cast<std::size_t>(pair.PicIndex2) + 1];
  }
  for (std::size_t i = 1; i < index.Begin.size(); ++i) index.Begin[i] += index.Begin[i - 1];
  index.Partners.resize(index.Begin.back());
  std::vector<std::size_t> next(index.Begin.begin(), index.Begin.end() - 1);
  for (std::int32_t k = 0; k <= catalogue.LastPairIndex; ++k) {
    const TPicturePair& pair = catalogue.PicturePairs[static_cast<std::size_t>(k)];
    index.Partners[next[static_cast<std::size_t>(pair.PicIndex1)]++] = pair.PicIndex2;
    index.Partners[next[static_cast<std::size_t>(pair.PicIndex2)]++] = pair.PicIndex1;
  }
  return index;
}

// Protection follows the folder, as each protected folder ends in '/' and a name holds none:
// one test per folder of the catalogue rather than one per picture.
std::vector<bool> ProtectedPaths(const Catalogue& catalogue, const std::vector<std::string>& protectedFolders) {
  std::vector<bool> result(catalogue.PathList.size());
  for (std::size_t i = 0; i < result.size(); ++i) result[i] = IsProtected(catalogue.PathList[i], protectedFolders);
  return result;
}

// Whether a is the lesser picture of the pair (a, b), b being the second.
bool IsLesser(const TPicInfo& a, const TPicInfo& b) {
  const std::int64_t pixelsA = std::int64_t{a.Width} * a.Height, pixelsB = std::int64_t{b.Width} * b.Height;
  if (pixelsA != pixelsB) return pixelsA < pixelsB;
  if (a.Size != b.Size) return a.Size < b.Size;
  // A DOS date-time orders as an unsigned number: the date in the high half, the year first.
  const auto timeA = static_cast<std::uint32_t>(a.Time), timeB = static_cast<std::uint32_t>(b.Time);
  if (timeA != timeB) return timeA > timeB;
  return false;
}

// The picture of the pair the rule picks, and the other one.
std::pair<std::int32_t, std::int32_t> RuleChoice(const Catalogue& catalogue, const TPicturePair& pair,
                                                 BatchChoice choice) {
  const std::int32_t first = pair.PicIndex1, second = pair.PicIndex2;
  switch (choice) {
    case BatchChoice::First:
      return {first, second};
    case BatchChoice::Second:
      return {second, first};
    case BatchChoice::Lesser:
      break;
  }
  const auto& list = catalogue.PicList;
  if (IsLesser(list[static_cast<std::size_t>(first)], list[static_cast<std::size_t>(second)])) return {first, second};
  return {second, first};
}

}  // namespace

bool IsProtected(const std::string& path, const std::vector<std::string>& protectedFolders) {
  const std::string folderOrFile = WithTrailingSlash(path);
  for (const std::string& folder : protectedFolders)
    if (!folder.empty() && folderOrFile.starts_with(WithTrailingSlash(folder))) return true;
  return false;
}

std::vector<BatchTarget> PlanBatch(const Catalogue& catalogue, const BatchRule& rule) {
  const PartnerIndex partners = IndexPartners(catalogue);
  const std::vector<bool> protectedPath = ProtectedPaths(catalogue, rule.ProtectedFolders);
  auto isProtected = [&](std::int32_t picture) {
    return protectedPath[static_cast<std::size_t>(catalogue.PicList[static_cast<std::size_t>(picture)].PathInd)];
  };
  enum class State : std::uint8_t { Free, Planned, Kept };
  std::vector<State> state(catalogue.PicList.size(), State::Free);
  std::vector<BatchTarget> targets;
  for (std::int32_t k = 0; k <= catalogue.LastPairIndex; ++k) {
    const TPicturePair& pair = catalogue.PicturePairs[static_cast<std::size_t>(k)];
    // A pair of one picture with itself has no other copy to keep.
    if (pair.Similarity < rule.MinSimilarity || pair.PicIndex1 == pair.PicIndex2) continue;
    auto [picture, keeper] = RuleChoice(catalogue, pair, rule.Choice);
    if (isProtected(picture)) {
      if (isProtected(keeper)) continue;
      std::swap(picture, keeper);
    }
    if (state[static_cast<std::size_t>(picture)] != State::Free) continue;
    state[static_cast<std::size_t>(picture)] = State::Planned;
    const auto p = static_cast<std::size_t>(picture);
    for (std::size_t j = partners.Begin[p]; j < partners.Begin[p + 1]; ++j)
      state[static_cast<std::size_t>(partners.Partners[j])] = State::Kept;
    targets.push_back({picture, keeper});
  }
  return targets;
}

std::int64_t PlannedBytes(const Catalogue& catalogue, const std::vector<BatchTarget>& targets) {
  std::int64_t bytes = 0;
  for (const BatchTarget& target : targets) bytes += catalogue.PicList.at(static_cast<std::size_t>(target.Picture)).Size;
  return bytes;
}

}  // namespace tessimar
