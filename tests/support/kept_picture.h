// Looking at decoded pixels: a decoder's rows kept as one whole picture, and colours compared
// within a tolerance.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "decode/rgb_picture.h"
#include "decode/row_sink.h"
#include "picture_fixtures.h"

namespace tessimar::testing {

class KeptPicture final : public RowSink {
 public:
  void Begin(std::int32_t width, std::int32_t height) override { Picture = MakeRgbPicture(width, height); }
  void Row(std::int32_t y, const std::uint8_t* rgb) override {
    std::copy_n(rgb, static_cast<std::size_t>(Picture.Width) * 3, Picture.Row(y));
  }
  Rgb At(int x, int y) const {
    const std::uint8_t* p = Picture.Row(y) + static_cast<std::ptrdiff_t>(x) * 3;
    return {p[0], p[1], p[2]};
  }

  RgbPicture Picture;
};

// Whether every sample of actual is within tolerance of expected; a failure names both.
inline ::testing::AssertionResult Near(Rgb actual, Rgb expected, int tolerance) {
  const auto close = [&](int a, int e) { return std::abs(a - e) <= tolerance; };
  if (close(actual.R, expected.R) && close(actual.G, expected.G) && close(actual.B, expected.B)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "got (" << +actual.R << ", " << +actual.G << ", " << +actual.B
                                       << "), expected (" << +expected.R << ", " << +expected.G << ", " << +expected.B
                                       << ") within " << tolerance;
}

}  // namespace tessimar::testing
