// The fixed-size arrays a signature is computed over: 128 x 128 elements in row-major order,
// row 0 at the top, column 0 at the left.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "catalogue/pic_info.h"

namespace tessimar {

inline constexpr std::size_t WorkingPixelCount = std::size_t{NumberOfPixels} * NumberOfPixels;

// The 24-bit working bitmap: red, green and blue bytes of each pixel in turn.
using RgbPixels = std::array<std::uint8_t, WorkingPixelCount * 3>;

// The 8-bit gray bitmap: one gray level per pixel.
using GrayPixels = std::array<std::uint8_t, WorkingPixelCount>;

// Pixel values less their mean, then Haar coefficients, then +1.0 / -1.0 / 0.0.
using CoefficientArray = std::array<double, WorkingPixelCount>;

// Element of row r, column c.
constexpr std::size_t ElementIndex(int r, int c) {
  return static_cast<std::size_t>(r) * NumberOfPixels + static_cast<std::size_t>(c);
}

}  // namespace tessimar
