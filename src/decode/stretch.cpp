#include "decode/stretch.h"

#include <cstring>

namespace tessimar {

std::int32_t NearestSource(std::int32_t target, std::int32_t sourceLength) {
  return static_cast<std::int32_t>(static_cast<std::int64_t>(target) * sourceLength / WorkingBitmap::Side);
}

BitmapStretcher::BitmapStretcher(WorkingBitmap& bitmap, std::int32_t sourceWidth, std::int32_t sourceHeight)
    : bitmap_(bitmap), sourceHeight_(sourceHeight) {
  for (std::int32_t x = 0; x < WorkingBitmap::Side; ++x) sourceColumn_[x] = NearestSource(x, sourceWidth);
}

void BitmapStretcher::AddRow(std::int32_t sourceRow, const std::uint8_t* rgb) {
  std::uint8_t* first = nullptr;
  for (std::int32_t y = 0; y < WorkingBitmap::Side; ++y) {
    if (NearestSource(y, sourceHeight_) != sourceRow) continue;
    std::uint8_t* target = bitmap_.Row(y);
    if (first != nullptr) {
      std::memcpy(target, first, WorkingBitmap::RowBytes);
      continue;
    }
    for (std::int32_t x = 0; x < WorkingBitmap::Side; ++x) std::memcpy(target + x * 3, rgb + sourceColumn_[x] * 3, 3);
    first = target;
  }
}

}  // namespace tessimar
