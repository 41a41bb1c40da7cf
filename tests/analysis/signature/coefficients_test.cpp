#include "analysis/signature/coefficients.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "analysis/signature/bitmap_mean.h"
#include "analysis/signature/gray.h"
#include "analysis/signature/select_signature.h"
#include "test_bitmaps.h"

namespace tessimar {
namespace {

using testing::GrayBitmap;
using testing::SetRgbGray;

struct Signature {
  std::int32_t mean = 0;
  CoefficientArray coefficients{};
  TWaveletCoefs pos{};
  TWaveletCoefs neg{};
};

// The whole chain the matching pass runs on a freshly loaded working bitmap.
Signature SignatureOf(const std::function<int(int, int)>& level) {
  RgbPixels bitmap{};
  for (int r = 0; r < NumberOfPixels; ++r) {
    for (int c = 0; c < NumberOfPixels; ++c) SetRgbGray(bitmap, r, c, static_cast<std::uint8_t>(level(r, c)));
  }
  Signature s;
  const GrayPixels gray = MakeGrayBitmap(bitmap, 1);
  s.mean = BitmapMean(gray);
  ComputeCoefficients(gray, s.coefficients, s.mean);
  SelectSignature(s.coefficients, s.pos, s.neg);
  return s;
}

std::int32_t KeptCount(const CoefficientArray& a) {
  return static_cast<std::int32_t>(std::ranges::count_if(a, [](double v) { return v != 0.0; }));
}

TEST(Signature, KeepsTheOneCoefficientOfAHalvedPicture) {
  struct Case {
    const char* name;
    std::function<int(int, int)> level;
    TWaveletPoint kept;
  };
  const Case cases[] = {
      {"left half black, right half white", [](int, int c) { return c < 64 ? 0 : 255; }, {0, 1}},
      {"top half black, bottom half white", [](int r, int) { return r < 64 ? 0 : 255; }, {1, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Signature s = SignatureOf(c.level);
    EXPECT_EQ(s.mean, 127);
    EXPECT_EQ(KeptCount(s.coefficients), 1);
    EXPECT_EQ(s.coefficients[ElementIndex(c.kept.X, c.kept.Y)], -1.0);
    TWaveletCoefs expectedNeg{};
    expectedNeg[0] = c.kept;
    EXPECT_EQ(s.neg, expectedNeg);
    EXPECT_EQ(s.pos, TWaveletCoefs{});
  }
}

TEST(Signature, KeepsNothingOfAUniformPicture) {
  for (const int v : {0, 7, 255}) {
    SCOPED_TRACE("level " + std::to_string(v));
    const Signature s = SignatureOf([&](int, int) { return v; });
    EXPECT_EQ(KeptCount(s.coefficients), 0);
    EXPECT_EQ(s.pos, TWaveletCoefs{});
    EXPECT_EQ(s.neg, TWaveletCoefs{});
  }
}

TEST(ComputeCoefficients, SettlesNearTiesWith80BitArithmetic) {
  // A wrapping diagonal ramp has many magnitudes that are equal in exact arithmetic, so rounding
  // decides which of them tie at the threshold. The expected values come from an independent
  // 64-bit-significand evaluation; double arithmetic keeps as many, but turns each of these
  // positions the other way.
  const GrayPixels ramp = GrayBitmap([](int r, int c) { return (2 * r + c) % 256; });
  CoefficientArray a{};
  ComputeCoefficients(ramp, a, BitmapMean(ramp));

  EXPECT_EQ(KeptCount(a), 230);
  struct Case {
    int r, c;
    double value;
  };
  const Case cases[] = {
      {24, 0, 1.0}, {52, 3, 1.0}, {54, 3, 1.0}, {60, 2, 1.0}, {62, 2, 1.0},
      {16, 0, 0.0}, {51, 3, 0.0}, {55, 3, 0.0}, {59, 2, 0.0}, {63, 2, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("row " + std::to_string(c.r) + ", column " + std::to_string(c.c));
    EXPECT_EQ(a[ElementIndex(c.r, c.c)], c.value);
  }
}

}  // namespace
}  // namespace tessimar
