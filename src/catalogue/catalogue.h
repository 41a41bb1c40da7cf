// The in-memory model of one scan: PicList, PathList and PicturePairs with their
// last-index counters, capacities and the growth rule they share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <string>
#include <vector>

#include "catalogue/pic_info.h"

namespace tessimar {

class Catalogue {
 public:
  static constexpr std::int32_t InitialCapacity = 30000;
  static constexpr std::int32_t FallbackCapacity = 15000;
  static constexpr std::int32_t GrowthStep = 1000;

  // allocationLimit: the largest capacity this catalogue may take; a larger one fails as
  // if memory had run out. Lets tests reach the fall-back.
  explicit Catalogue(std::size_t allocationLimit = std::numeric_limits<std::size_t>::max());

  // The capacities are counters that follow the growth rule; the lists hold only the
  // entries appended so far. A deque never moves a record of several kilobytes when
  // it grows, so filling it stays linear however many files a scan finds.
  std::deque<TPicInfo> PicList;
  std::int32_t LastPicIndex = 0;
  std::int32_t PicListCapacity = 0;

  std::vector<std::string> PathList;  // folder paths, each ending in '/'
  std::int32_t LastPathIndex = 0;
  std::int32_t PathListCapacity = 0;

  std::vector<TPicturePair> PicturePairs;
  std::int32_t LastPairIndex = 0;
  std::int32_t PairListCapacity = 0;

  void Reset();
  void AllocateCatalogue();
  void RegisterFolder(const std::string& folder);
  // Appends the picture in the folder registered last; fills PathInd, Deleted and CCVStage.
  void AppendPicture(TPicInfo picture);
  void TrimCatalogue();
  void AllocatePairs();
  void AppendPair(const TPicturePair& pair);
  void TrimPairs();
  void SwapPairSides(std::int32_t pairIndex);
  void RemovePicturePairs(std::int32_t picIndex);
  void Release();

  std::int32_t PairCount() const { return LastPairIndex + 1; }
  std::string FullPath(std::int32_t picIndex) const;

 private:
  void SetCapacity(std::int32_t& capacity, std::int32_t length) const;
  void Grow(std::int32_t lastIndex, std::int32_t& capacity) const;

  std::size_t allocationLimit_;
};

}  // namespace tessimar
