#include "analysis/signature/median_filter.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "test_bitmaps.h"

namespace tessimar {
namespace {

using testing::GrayBitmap;

constexpr int Last = NumberOfPixels - 1;

std::vector<std::size_t> LitPixels(const GrayPixels& bitmap) {
  std::vector<std::size_t> lit;
  for (std::size_t p = 0; p < bitmap.size(); ++p) {
    if (bitmap[p] != 0) lit.push_back(p);
  }
  return lit;
}

TEST(MedianFilter, RemovesASinglePixelInsideButNotOnTheBorder) {
  struct Case {
    const char* where;
    int r, c;
    bool kept;
  };
  const Case cases[] = {
      {"inside", 64, 64, false},    {"next to the border", 1, Last - 1, false},
      {"row 0", 0, 64, true},       {"last column", 64, Last, true},
      {"last row", Last, 64, true}, {"column 0", 64, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    GrayPixels bitmap = GrayBitmap([&](int r, int col) { return r == c.r && col == c.c ? 255 : 0; });
    MedianFilter(bitmap);
    const std::vector<std::size_t> expected =
        c.kept ? std::vector<std::size_t>{ElementIndex(c.r, c.c)} : std::vector<std::size_t>{};
    EXPECT_EQ(LitPixels(bitmap), expected);
  }
}

TEST(MedianFilter, WorksInPlaceFromTheBottomRightCorner) {
  // Read from an unchanged copy, or filtered top-down or left to right, each shape comes out
  // differently. In the block, (11, 12) goes dark first, so (11, 11) keeps five lit neighbours
  // while every pixel of row 10 loses.
  struct Case {
    const char* name;
    std::vector<std::pair<int, int>> lit;
    std::vector<std::pair<int, int>> staysLit;
  };
  const Case cases[] = {
      {"two rows by three columns", {{10, 10}, {10, 11}, {10, 12}, {11, 10}, {11, 11}, {11, 12}}, {{11, 11}}},
      {"staircase",
       {{20, 30}, {20, 31}, {21, 30}, {21, 31}, {21, 32}, {22, 30}, {22, 31}, {22, 32}, {22, 33}},
       {{21, 30}, {21, 31}, {22, 31}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GrayPixels bitmap{};
    for (const auto& [r, col] : c.lit) bitmap[ElementIndex(r, col)] = 200;
    MedianFilter(bitmap);
    std::vector<std::size_t> expected;
    for (const auto& [r, col] : c.staysLit) expected.push_back(ElementIndex(r, col));
    EXPECT_EQ(LitPixels(bitmap), expected);
  }
}

TEST(MedianFilter, PutsASpikeOnARampBackToTheRamp) {
  // The ramp alone is left as it is: each window's fifth smallest is its centre.
  const GrayPixels ramp = GrayBitmap([](int r, int c) { return r + c; });
  GrayPixels bitmap = ramp;
  bitmap[ElementIndex(64, 64)] = 250;
  MedianFilter(bitmap);
  EXPECT_EQ(bitmap, ramp);
}

}  // namespace
}  // namespace tessimar
