// Bitmaps and coefficient arrays for the signature tests, built from a rule per element.
#pragma once

#include "analysis/signature/signature_arrays.h"

namespace tessimar::testing {

// rule(r, c) gives the gray level of row r, column c.
template <typename Rule>
GrayPixels GrayBitmap(Rule rule) {
  GrayPixels bitmap{};
  for (int r = 0; r < NumberOfPixels; ++r) {
    for (int c = 0; c < NumberOfPixels; ++c) bitmap[ElementIndex(r, c)] = static_cast<std::uint8_t>(rule(r, c));
  }
  return bitmap;
}

// Every pixel of the colour (red, green, blue).
inline RgbPixels UniformRgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  RgbPixels bitmap{};
  for (std::size_t p = 0; p < bitmap.size(); p += 3) {
    bitmap[p] = red;
    bitmap[p + 1] = green;
    bitmap[p + 2] = blue;
  }
  return bitmap;
}

// The pixel at row r, column c set to gray level v in all three channels.
inline void SetRgbGray(RgbPixels& bitmap, int r, int c, std::uint8_t v) {
  const std::size_t p = ElementIndex(r, c) * 3;
  bitmap[p] = bitmap[p + 1] = bitmap[p + 2] = v;
}

// rule(r, c) gives the element of row r, column c.
template <typename Rule>
CoefficientArray Coefficients(Rule rule) {
  CoefficientArray a{};
  for (int r = 0; r < NumberOfPixels; ++r) {
    for (int c = 0; c < NumberOfPixels; ++c) a[ElementIndex(r, c)] = rule(r, c);
  }
  return a;
}

}  // namespace tessimar::testing
