#include "catalogue/catalogue.h"

#include <algorithm>
#include <iterator>
#include <new>
#include <stdexcept>

namespace tessimar {

Catalogue::Catalogue(std::size_t allocationLimit) : allocationLimit_(allocationLimit) {}

template <typename T>
void Catalogue::Allocate(std::vector<T>& list, std::int32_t length) const {
  const auto size = static_cast<std::size_t>(length);
  if (size > allocationLimit_) throw std::bad_alloc();
  if (size > list.capacity()) {
    // Exactly the new length, in one move of the entries.
    std::vector<T> grown;
    grown.reserve(size);
    std::move(list.begin(), list.end(), std::back_inserter(grown));
    list = std::move(grown);
  }
  list.resize(size);
  list.shrink_to_fit();
}

// Applied after every append: the capacity grows by one step whenever the last index
// reaches a multiple of the step within one step of the capacity, so it stays ahead.
template <typename T>
void Catalogue::Grow(std::vector<T>& list, std::int32_t lastIndex, std::int32_t& capacity) const {
  if (lastIndex >= capacity - GrowthStep && lastIndex % GrowthStep == 0) {
    Allocate(list, capacity + GrowthStep);
    capacity += GrowthStep;
  }
}

void Catalogue::Reset() {
  LastPicIndex = LastPathIndex = LastPairIndex = -1;
  PicList = {};
  PathList = {};
  PicturePairs = {};
  PicListCapacity = PathListCapacity = PairListCapacity = 0;
}

void Catalogue::AllocateCatalogue() {
  try {
    Allocate(PicList, InitialCapacity);
    Allocate(PathList, InitialCapacity);
    PicListCapacity = PathListCapacity = InitialCapacity;
  } catch (const std::bad_alloc&) {
    Allocate(PicList, FallbackCapacity);
    Allocate(PathList, FallbackCapacity);
    PicListCapacity = PathListCapacity = FallbackCapacity;
  }
}

void Catalogue::RegisterFolder(const std::string& folder) {
  if (LastPathIndex + 1 >= PathListCapacity) throw std::logic_error("folder table is not allocated");
  PathList[static_cast<std::size_t>(++LastPathIndex)] = folder;
  Grow(PathList, LastPathIndex, PathListCapacity);
}

void Catalogue::AppendPicture(TPicInfo picture) {
  if (LastPicIndex + 1 >= PicListCapacity) throw std::logic_error("picture list is not allocated");
  picture.PathInd = LastPathIndex;
  picture.Deleted = false;
  picture.CCVStage = TCCVStage::None;
  PicList[static_cast<std::size_t>(++LastPicIndex)] = std::move(picture);
  Grow(PicList, LastPicIndex, PicListCapacity);
}

void Catalogue::TrimCatalogue() {
  PathListCapacity = LastPathIndex + 1;
  PicListCapacity = LastPicIndex + 1;
  Allocate(PathList, PathListCapacity);
  Allocate(PicList, PicListCapacity);
}

void Catalogue::AllocatePairs() {
  try {
    Allocate(PicturePairs, InitialCapacity);
    PairListCapacity = InitialCapacity;
  } catch (const std::bad_alloc&) {
    Allocate(PicturePairs, FallbackCapacity);
    PairListCapacity = FallbackCapacity;
  }
}

void Catalogue::AppendPair(const TPicturePair& pair) {
  if (LastPairIndex + 1 >= PairListCapacity) throw std::logic_error("pair list is not allocated");
  PicturePairs[static_cast<std::size_t>(++LastPairIndex)] = pair;
  Grow(PicturePairs, LastPairIndex, PairListCapacity);
}

void Catalogue::TrimPairs() {
  PairListCapacity = LastPairIndex + 1;
  Allocate(PicturePairs, PairListCapacity);
}

void Catalogue::SwapPairSides(std::int32_t pairIndex) {
  auto& pair = PicturePairs.at(static_cast<std::size_t>(pairIndex));
  std::swap(pair.PicIndex1, pair.PicIndex2);
}

void Catalogue::RemovePicturePairs(std::int32_t picIndex) {
  PicturePairs.resize(static_cast<std::size_t>(PairCount()));
  std::erase_if(PicturePairs, [picIndex](const TPicturePair& pair) {
    return pair.PicIndex1 == picIndex || pair.PicIndex2 == picIndex;
  });
  LastPairIndex = static_cast<std::int32_t>(PicturePairs.size()) - 1;
  TrimPairs();
  PicList.at(static_cast<std::size_t>(picIndex)).Deleted = true;
}

void Catalogue::Release() {
  PathList = {};
  PicList = {};
  LastPairIndex = -1;
  PicturePairs = {};
  // Capacities follow the released lists, so a late append fails cleanly.
  PathListCapacity = PicListCapacity = PairListCapacity = 0;
}

std::string Catalogue::FullPath(std::int32_t picIndex) const {
  const TPicInfo& picture = PicList.at(static_cast<std::size_t>(picIndex));
  return PathList.at(static_cast<std::size_t>(picture.PathInd)) + picture.FileName;
}

}  // namespace tessimar
