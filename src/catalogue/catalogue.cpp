#include "catalogue/catalogue.h"

#include <algorithm>
#include <new>
#include <stdexcept>

namespace tessimar {

Catalogue::Catalogue(std::size_t allocationLimit) : allocationLimit_(allocationLimit) {}

void Catalogue::SetCapacity(std::int32_t& capacity, std::int32_t length) const {
  if (static_cast<std::size_t>(length) > allocationLimit_) throw std::bad_alloc();
  capacity = length;
}

// Applied after every append: the capacity grows by one step whenever the last index
// reaches a multiple of the step within one step of the capacity, so it stays ahead.
void Catalogue::Grow(std::int32_t lastIndex, std::int32_t& capacity) const {
  if (lastIndex >= capacity - GrowthStep && lastIndex % GrowthStep == 0)
    SetCapacity(capacity, capacity + GrowthStep);
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
    SetCapacity(PicListCapacity, InitialCapacity);
    SetCapacity(PathListCapacity, InitialCapacity);
  } catch (const std::bad_alloc&) {
    SetCapacity(PicListCapacity, FallbackCapacity);
    SetCapacity(PathListCapacity, FallbackCapacity);
  }
}

void Catalogue::RegisterFolder(const std::string& folder) {
  if (LastPathIndex + 1 >= PathListCapacity) throw std::logic_error("folder table is not allocated");
  PathList.push_back(folder);
  Grow(++LastPathIndex, PathListCapacity);
}

void Catalogue::AppendPicture(TPicInfo picture) {
  if (LastPicIndex + 1 >= PicListCapacity) throw std::logic_error("picture list is not allocated");
  picture.PathInd = LastPathIndex;
  picture.Deleted = false;
  picture.CCVStage = TCCVStage::None;
  PicList.push_back(std::move(picture));
  Grow(++LastPicIndex, PicListCapacity);
}

void Catalogue::TrimCatalogue() {
  PathListCapacity = LastPathIndex + 1;
  PicListCapacity = LastPicIndex + 1;
  PathList.shrink_to_fit();
  PicList.shrink_to_fit();
}

void Catalogue::AllocatePairs() {
  try {
    SetCapacity(PairListCapacity, InitialCapacity);
  } catch (const std::bad_alloc&) {
    SetCapacity(PairListCapacity, FallbackCapacity);
  }
}

void Catalogue::AppendPair(const TPicturePair& pair) {
  if (LastPairIndex + 1 >= PairListCapacity) throw std::logic_error("pair list is not allocated");
  PicturePairs.push_back(pair);
  Grow(++LastPairIndex, PairListCapacity);
}

void Catalogue::TrimPairs() {
  PairListCapacity = LastPairIndex + 1;
  PicturePairs.shrink_to_fit();
}

void Catalogue::SwapPairSides(std::int32_t pairIndex) {
  auto& pair = PicturePairs.at(static_cast<std::size_t>(pairIndex));
  std::swap(pair.PicIndex1, pair.PicIndex2);
}

void Catalogue::RemovePicturePairs(std::int32_t picIndex) {
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
