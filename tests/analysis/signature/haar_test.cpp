#include "analysis/signature/haar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "test_bitmaps.h"

namespace tessimar {
namespace {

using testing::Coefficients;
using Row = std::array<double, NumberOfPixels>;

TEST(HaarDecomposeRow, SpreadsAnImpulseOverOneCoefficientPerLevel) {
  // Coefficient h + i of the level with h pairs measures pair i; an impulse of 1 adds sqrt(h) / 128
  // to the one pair it falls in at each level, and 1 / 128 to the average.
  struct Case {
    std::size_t impulse;
    std::size_t (*indexAtLevel)(std::size_t h);
    double sign;
  };
  const Case cases[] = {
      {0, [](std::size_t h) { return h; }, +1.0},
      {NumberOfPixels - 1, [](std::size_t h) { return 2 * h - 1; }, -1.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("impulse at " + std::to_string(c.impulse));
    Row expected{};
    expected[0] = 1.0 / 128;
    for (std::size_t h = 1; h < NumberOfPixels; h *= 2)
      expected[c.indexAtLevel(h)] = c.sign * std::sqrt(double(h)) / 128;
    Row row{};
    row[c.impulse] = 1.0;
    HaarDecomposeRow(row);
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (expected[i] == 0.0) {
        EXPECT_EQ(row[i], 0.0) << "index " << i;
      } else {
        EXPECT_NEAR(row[i], expected[i], 1e-15) << "index " << i;
      }
    }
  }
}

TEST(HaarDecomposeRow, RoundsTo80BitSumsAndRootsExactly) {
  // Values of 0, 1, ..., 127, checked bit for bit against an independent 64-bit-significand
  // evaluation. Double sums or double roots change every one of these.
  Row row{};
  for (std::size_t i = 0; i < row.size(); ++i) row[i] = double(i);
  HaarDecomposeRow(row);
  struct Case {
    std::size_t index;
    double value;
  };
  const Case cases[] = {
      {0, 0x1.fcp+5}, {1, -0x1.0000000000001p+5}, {15, -0x1.6a09e667f3bcdp+0}, {16, -0x1p-1}, {64, -0x1p-4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("index " + std::to_string(c.index));
    EXPECT_EQ(row[c.index], c.value);
  }
}

TEST(HaarDecompose, DecomposesRowsThenColumns) {
  // When all rows are alike, the column pass gathers everything into row 0, which then holds the
  // row decomposition; when all columns are alike, the same happens in column 0.
  const auto level = [](int i) { return double((i * 37) % 101) - 50; };
  Row decomposed{};
  for (int i = 0; i < NumberOfPixels; ++i) decomposed[i] = level(i);
  HaarDecomposeRow(decomposed);

  struct Case {
    const char* name;
    bool rowsAlike;
  };
  for (const Case c : {Case{"rows alike", true}, Case{"columns alike", false}}) {
    SCOPED_TRACE(c.name);
    CoefficientArray a = Coefficients([&](int r, int col) { return level(c.rowsAlike ? col : r); });
    HaarDecompose(a);
    for (int r = 0; r < NumberOfPixels; ++r) {
      for (int col = 0; col < NumberOfPixels; ++col) {
        const int along = c.rowsAlike ? r : col;
        const int across = c.rowsAlike ? col : r;
        const double value = a[ElementIndex(r, col)];
        if (along == 0) {
          EXPECT_NEAR(value, decomposed[across], 1e-12) << "row " << r << ", column " << col;
        } else {
          EXPECT_EQ(value, 0.0) << "row " << r << ", column " << col;
        }
      }
    }
  }
}

}  // namespace
}  // namespace tessimar
