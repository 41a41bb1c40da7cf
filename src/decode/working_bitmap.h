// The 128 x 128 picture every load draws into and the signature reads from.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "catalogue/pic_info.h"

namespace tessimar {

// 24-bit RGB, row-major, top row first, three bytes per pixel.
struct WorkingBitmap {
  static constexpr int Side = NumberOfPixels;
  static constexpr std::size_t RowBytes = static_cast<std::size_t>(Side) * 3;

  std::array<std::uint8_t, RowBytes * Side> Pixels{};

  std::uint8_t* Row(int y) { return Pixels.data() + static_cast<std::size_t>(y) * RowBytes; }
  const std::uint8_t* Pixel(int x, int y) const {
    return Pixels.data() + static_cast<std::size_t>(y) * RowBytes + static_cast<std::size_t>(x) * 3;
  }
};

}  // namespace tessimar
