// Nearest-pixel stretch of a picture, arriving row by row, over the whole working bitmap.
#pragma once

#include <array>
#include <cstdint>

#include "decode/working_bitmap.h"

namespace tessimar {

// The source index that target index t (0..127) takes: floor(t * sourceLength / 128).
std::int32_t NearestSource(std::int32_t target, std::int32_t sourceLength);

// Target (x, y) takes source (NearestSource(x, width), NearestSource(y, height)); rows are
// dropped when shrinking and repeated when enlarging, with no averaging. Rows may be fed in
// any order; a row no target takes is ignored.
class BitmapStretcher {
 public:
  BitmapStretcher(WorkingBitmap& bitmap, std::int32_t sourceWidth, std::int32_t sourceHeight);

  // rgb: one source row of sourceWidth pixels, three bytes each.
  void AddRow(std::int32_t sourceRow, const std::uint8_t* rgb);

 private:
  WorkingBitmap& bitmap_;
  std::int32_t sourceHeight_;
  std::array<std::int32_t, WorkingBitmap::Side> sourceColumn_{};
};

}  // namespace tessimar
