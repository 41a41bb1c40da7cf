#include "analysis/signature/gray.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "test_bitmaps.h"

namespace tessimar {
namespace {

using testing::SetRgbGray;
using testing::UniformRgb;

// The pure grays that 80-bit arithmetic turns one level darker.
constexpr int DarkenedLevels[] = {7,   14,  15,  21,  27,  28,  30,  41,  42,  54,  55,  56,  57,  60,  82,  83,
                                  84,  97,  107, 108, 109, 110, 112, 114, 120, 139, 145, 164, 166, 168, 189, 191,
                                  193, 194, 214, 215, 216, 218, 220, 224, 228, 239, 240, 241, 243, 245, 249, 253};

int ExpectedGray(int v) { return std::ranges::find(DarkenedLevels, v) != std::end(DarkenedLevels) ? v - 1 : v; }

// Rows of one level each, rising down the picture: the median filter leaves such a picture alone,
// so what comes out is what the gray conversion and the palette made of each level.
RgbPixels RisingGrayRows(int firstLevel) {
  RgbPixels bitmap{};
  for (int r = 0; r < NumberOfPixels; ++r) {
    for (int c = 0; c < NumberOfPixels; ++c) SetRgbGray(bitmap, r, c, static_cast<std::uint8_t>(firstLevel + r));
  }
  return bitmap;
}

TEST(ConvertToGray, WeightsTheChannelsAndWritesTheLevelIntoAllThree) {
  struct Case {
    std::uint8_t red, green, blue;
    std::uint8_t gray;
  };
  const Case cases[] = {
      {255, 255, 255, 255}, {255, 0, 0, 76}, {0, 255, 0, 150}, {0, 0, 255, 28},
      {128, 128, 128, 128}, {7, 7, 7, 6},    {0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.red) + "," + std::to_string(c.green) + "," + std::to_string(c.blue));
    RgbPixels bitmap = UniformRgb(c.red, c.green, c.blue);
    ConvertToGray(bitmap);
    EXPECT_TRUE(std::ranges::all_of(bitmap, [&](std::uint8_t v) { return v == c.gray; }));
  }
}

TEST(ConvertToGray, DarkensExactlyTheFortyEightListedPureGrays) {
  for (int v = 0; v < 256; ++v) {
    SCOPED_TRACE("level " + std::to_string(v));
    RgbPixels bitmap =
        UniformRgb(static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v));
    ConvertToGray(bitmap);
    EXPECT_EQ(bitmap[0], ExpectedGray(v));
    EXPECT_EQ(bitmap[bitmap.size() - 1], ExpectedGray(v));
  }
}

TEST(MakeGrayBitmap, StepOneKeepsEveryGrayLevel) {
  for (const int firstLevel : {0, 128}) {
    SCOPED_TRACE("rows from level " + std::to_string(firstLevel));
    RgbPixels bitmap = RisingGrayRows(firstLevel);
    const GrayPixels gray = MakeGrayBitmap(bitmap, 1);
    for (int r = 0; r < NumberOfPixels; ++r) {
      const int expected = ExpectedGray(firstLevel + r);
      EXPECT_EQ(gray[ElementIndex(r, 0)], expected) << "row " << r;
      EXPECT_EQ(gray[ElementIndex(r, 77)], expected) << "row " << r;
      EXPECT_EQ(bitmap[ElementIndex(r, 77) * 3 + 1], expected) << "row " << r;
    }
  }
}

TEST(MakeGrayBitmap, ConvertsColourAndFiltersOutSinglePixels) {
  RgbPixels bitmap = UniformRgb(255, 0, 0);
  SetRgbGray(bitmap, 40, 90, 255);
  const GrayPixels gray = MakeGrayBitmap(bitmap, 1);
  EXPECT_TRUE(std::ranges::all_of(gray, [](std::uint8_t v) { return v == 76; }));
}

TEST(MakeGrayBitmap, LargerStepsMapEachLevelToTheNearestPaletteEntry) {
  // With step 16 the palette holds the multiples of 16 up to 240; a level halfway between two
  // of them takes the first. The levels are ones the gray conversion keeps.
  struct Case {
    std::uint8_t level, gray;
  };
  const Case cases[] = {{0, 0}, {8, 0}, {9, 16}, {232, 224}, {233, 240}, {255, 240}};
  for (const Case& c : cases) {
    SCOPED_TRACE("level " + std::to_string(c.level));
    RgbPixels bitmap = UniformRgb(c.level, c.level, c.level);
    const GrayPixels gray = MakeGrayBitmap(bitmap, 16);
    EXPECT_TRUE(std::ranges::all_of(gray, [&](std::uint8_t v) { return v == c.gray; }));
  }
}

TEST(MakeGrayBitmap, RefusesAStepBelowOne) {
  RgbPixels bitmap = UniformRgb(1, 2, 3);
  EXPECT_THROW(MakeGrayBitmap(bitmap, 0), std::invalid_argument);
  EXPECT_THROW(MakeGrayBitmap(bitmap, -4), std::invalid_argument);
}

}  // namespace
}  // namespace tessimar
