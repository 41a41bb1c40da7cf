// Sorting the pair list in place by either path or by similarity: a quick pass with an explicit
// stack that leaves short ranges alone, one pump, then one insertion pass over the whole range.
// The order of level entries is the one these passes produce; it is not stable.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"

namespace tessimar {

// Negative, zero or positive for a before, level with or after b; reverse negates.
using PathComparer = int (*)(const TPicturePair& a, const TPicturePair& b, const std::deque<TPicInfo>& picList,
                             const std::vector<std::string>& pathList, bool reverse);
using SimilarityComparer = int (*)(const TPicturePair& a, const TPicturePair& b, bool reverse);

// By the full path of the first (ComparePath1) or second (ComparePath2) picture, folding only
// the ASCII letters; the paths are built afresh at every comparison.
int ComparePath1(const TPicturePair& a, const TPicturePair& b, const std::deque<TPicInfo>& picList,
                 const std::vector<std::string>& pathList, bool reverse);
int ComparePath2(const TPicturePair& a, const TPicturePair& b, const std::deque<TPicInfo>& picList,
                 const std::vector<std::string>& pathList, bool reverse);
// 0 when equal, else +1 when a's similarity is greater and -1 when smaller, flipped when reverse.
int CompareSimilarity(const TPicturePair& a, const TPicturePair& b, bool reverse);

// Sort the entries lo to hi (lo <= hi) of picturePairs in place. pump runs once between the two
// passes; the pair list must not change while it runs.
void SortPairsByPath(const std::deque<TPicInfo>& picList, std::vector<TPicturePair>& picturePairs,
                     const std::vector<std::string>& pathList, PathComparer compare, bool reverse, std::int32_t lo,
                     std::int32_t hi, const std::function<void()>& pump);
void SortPairsBySimilarity(std::vector<TPicturePair>& picturePairs, SimilarityComparer compare, bool reverse,
                           std::int32_t lo, std::int32_t hi, const std::function<void()>& pump);

// Sorts pairs 0 to LastPairIndex by column 0 (first path), 1 (second path) or 2 (similarity).
// pump runs once between the two passes; the caller guarantees the pair list does not change then.
void SortPairsByColumn(Catalogue& catalogue, int column, bool reverse, const std::function<void()>& pump);

}  // namespace tessimar
