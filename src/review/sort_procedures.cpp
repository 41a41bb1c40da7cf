#include "review/sort_procedures.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <stdexcept>
#include <utility>

#include "platform/text_compare.h"

namespace tessimar {
namespace {

// Ranges of this many entries or fewer are left to the insertion pass.
constexpr std::int32_t ShortRange = 16;
// The larger part is always the one pushed, so fewer than log2(entries) + 1 ranges wait at once.
constexpr std::size_t PendingRanges = 32;

struct Range {
  std::int32_t Lo = 0;
  std::int32_t Hi = 0;
};

std::string FullPathOf(std::int32_t picIndex, const std::deque<TPicInfo>& picList,
                       const std::vector<std::string>& pathList) {
  const TPicInfo& picture = picList[static_cast<std::size_t>(picIndex)];
  return pathList[static_cast<std::size_t>(picture.PathInd)] + picture.FileName;
}

int ComparePictures(std::int32_t a, std::int32_t b, const std::deque<TPicInfo>& picList,
                    const std::vector<std::string>& pathList, bool reverse) {
  const int c = CompareTextNoCase(FullPathOf(a, picList, pathList), FullPathOf(b, picList, pathList));
  return reverse ? -c : c;
}

// Median of three, then the partition loop; both exactly as they are, since the order of their
// swaps decides where level entries end up. Returns j: lo..j ranks at or before j+1..hi.
template <typename Compare>
std::int32_t Partition(TPicturePair* a, std::int32_t lo, std::int32_t hi, const Compare& cmp) {
  const std::int32_t mid = lo + (hi - lo) / 2;  // (lo + hi) / 2 without overflow
  if (cmp(a[lo], a[mid]) > 0) std::swap(a[lo], a[mid]);
  if (cmp(a[lo], a[hi]) > 0) std::swap(a[lo], a[hi]);
  if (cmp(a[mid], a[hi]) > 0) std::swap(a[mid], a[hi]);
  const TPicturePair pivot = a[mid];
  std::int32_t i = lo;
  std::int32_t j = hi;
  for (;;) {
    --j;
    while (cmp(a[j], pivot) > 0) --j;
    ++i;
    while (cmp(a[i], pivot) < 0) ++i;
    if (j <= i) return j;
    std::swap(a[i], a[j]);
  }
}

// Leaves a sequence of blocks of at most ShortRange entries, each ranking at or after those before it.
template <typename Compare>
void QuickPass(std::vector<TPicturePair>& pairs, std::int32_t lo, std::int32_t hi, const Compare& cmp) {
  TPicturePair* const a = pairs.data();
  std::array<Range, PendingRanges> stack;
  std::size_t pending = 0;
  stack[pending++] = {lo, hi};
  while (pending > 0) {
    Range range = stack[--pending];
    while (range.Hi - range.Lo > ShortRange - 1) {
      const std::int32_t j = Partition(a, range.Lo, range.Hi, cmp);
      if (j - range.Lo < range.Hi - j) {
        stack[pending++] = {j + 1, range.Hi};
        range.Hi = j;
      } else {
        stack[pending++] = {range.Lo, j};
        range.Lo = j + 1;
      }
    }
  }
}

template <typename Compare>
void InsertionPass(std::vector<TPicturePair>& pairs, std::int32_t lo, std::int32_t hi, const Compare& cmp) {
  TPicturePair* const a = pairs.data();
  // The first-ranking entry lies in the first block; of level ones the first found is taken.
  std::int32_t m = lo;
  for (std::int32_t k = lo + 1; k <= std::min(lo + ShortRange - 1, hi); ++k) {
    if (cmp(a[k], a[m]) < 0) m = k;
  }
  if (m != lo) std::swap(a[lo], a[m]);
  for (std::int32_t i = lo + 2; i <= hi; ++i) {
    const TPicturePair t = a[i];
    std::int32_t j = i;
    // No lower bound test: the sentinel at lo stops the loop.
    while (cmp(t, a[j - 1]) < 0) {
      a[j] = a[j - 1];
      --j;
    }
    a[j] = t;
  }
}

template <typename Compare>
void SortRange(std::vector<TPicturePair>& pairs, std::int32_t lo, std::int32_t hi, const Compare& cmp,
               const std::function<void()>& pump) {
  QuickPass(pairs, lo, hi, cmp);
  pump();
  InsertionPass(pairs, lo, hi, cmp);
}

}  // namespace

int ComparePath1(const TPicturePair& a, const TPicturePair& b, const std::deque<TPicInfo>& picList,
                 const std::vector<std::string>& pathList, bool reverse) {
  return ComparePictures(a.PicIndex1, b.PicIndex1, picList, pathList, reverse);
}

int ComparePath2(const TPicturePair& a, const TPicturePair& b, const std::deque<TPicInfo>& picList,
                 const std::vector<std::string>& pathList, bool reverse) {
  return ComparePictures(a.PicIndex2, b.PicIndex2, picList, pathList, reverse);
}

int CompareSimilarity(const TPicturePair& a, const TPicturePair& b, bool reverse) {
  const int c = a.Similarity == b.Similarity ? 0 : (a.Similarity > b.Similarity ? 1 : -1);
  return reverse ? -c : c;
}

void SortPairsByPath(const std::deque<TPicInfo>& picList, std::vector<TPicturePair>& picturePairs,
                     const std::vector<std::string>& pathList, PathComparer compare, bool reverse, std::int32_t lo,
                     std::int32_t hi, const std::function<void()>& pump) {
  const auto cmp = [&](const TPicturePair& a, const TPicturePair& b) {
    return compare(a, b, picList, pathList, reverse);
  };
  SortRange(picturePairs, lo, hi, cmp, pump);
}

void SortPairsBySimilarity(std::vector<TPicturePair>& picturePairs, SimilarityComparer compare, bool reverse,
                           std::int32_t lo, std::int32_t hi, const std::function<void()>& pump) {
  const auto cmp = [&](const TPicturePair& a, const TPicturePair& b) { return compare(a, b, reverse); };
  SortRange(picturePairs, lo, hi, cmp, pump);
}

void SortPairsByColumn(Catalogue& catalogue, int column, bool reverse, const std::function<void()>& pump) {
  const std::int32_t hi = catalogue.LastPairIndex;
  switch (column) {
    case 0:
      return SortPairsByPath(catalogue.PicList, catalogue.PicturePairs, catalogue.PathList, ComparePath1, reverse, 0,
                             hi, pump);
    case 1:
      return SortPairsByPath(catalogue.PicList, catalogue.PicturePairs, catalogue.PathList, ComparePath2, reverse, 0,
                             hi, pump);
    case 2:
      return SortPairsBySimilarity(catalogue.PicturePairs, CompareSimilarity, reverse, 0, hi, pump);
    default:
      throw std::invalid_argument("no sort column " + std::to_string(column));
  }
}

}  // namespace tessimar
