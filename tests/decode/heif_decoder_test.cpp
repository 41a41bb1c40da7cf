#include "decode/heif_decoder.h"

#include <gtest/gtest.h>

#include "decode/file_reading.h"
#include "kept_picture.h"
#include "picture_fixtures.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

using testing::Image;
using testing::KeptPicture;
using testing::Near;
using testing::Rgb;

constexpr Rgb Red{220, 30, 30}, Green{30, 200, 60}, Blue{40, 60, 220}, White{235, 235, 235};

KeptPicture Decode(const std::string& bytes, const std::string& name = "picture.heic") {
  const testing::TempFolder folder;
  const OpenedFile file(folder.Write(name, bytes));
  KeptPicture kept;
  DecodeHeif(file, kept);
  return kept;
}

Image Flat(int width, int height, Rgb colour) {
  return testing::MakeImage(width, height, 3, [&](int, int) { return std::vector<std::uint8_t>{colour.R, colour.G, colour.B}; });
}

// Red, green, blue and white quadrants, top left to bottom right.
Rgb QuadrantColour(int x, int y, int width, int height) {
  const bool right = x >= width / 2, bottom = y >= height / 2;
  return bottom ? (right ? White : Blue) : (right ? Green : Red);
}

Image Quadrants(int width, int height) {
  return testing::MakeImage(width, height, 3, [&](int x, int y) {
    const Rgb c = QuadrantColour(x, y, width, height);
    return std::vector<std::uint8_t>{c.R, c.G, c.B};
  });
}

TEST(DecodeHeif, AGridOfTilesIsOneWholePictureCroppedToItsSize) {
  const std::string grid = testing::HeifGridBytes(
      {Flat(64, 64, Red), Flat(64, 64, Green), Flat(64, 64, Blue), Flat(64, 64, White)}, 2, 120, 100);
  const KeptPicture kept = Decode(grid);
  ASSERT_EQ(kept.Picture.Width, 120);
  ASSERT_EQ(kept.Picture.Height, 100);
  EXPECT_TRUE(Near(kept.At(5, 5), Red, 10));
  EXPECT_TRUE(Near(kept.At(115, 5), Green, 10));
  EXPECT_TRUE(Near(kept.At(5, 95), Blue, 10));
  EXPECT_TRUE(Near(kept.At(115, 95), White, 10));
}

// Where the corner pixel of the shown picture comes from in the coded one, for each
// orientation as EXIF numbers them: whether x and y swap, and which then run backwards.
struct Orientation {
  int Tag;
  bool Swapped, MirrorX, MirrorY;
};

TEST(DecodeHeif, RotationAndMirrorArePartOfThePicture) {
  constexpr int Width = 96, Height = 64;
  const Orientation orientations[] = {
      {1, false, false, false}, {2, false, true, false}, {3, false, true, true}, {4, false, false, true},
      {5, true, false, false},  {6, true, false, true},  {7, true, true, true},  {8, true, true, false},
  };
  const Image coded = Quadrants(Width, Height);
  for (const Orientation& o : orientations) {
    SCOPED_TRACE(o.Tag);
    const KeptPicture kept = Decode(testing::HeifBytes(coded, {.Quality = 90, .Orientation = o.Tag}));
    const int shownWidth = o.Swapped ? Height : Width, shownHeight = o.Swapped ? Width : Height;
    ASSERT_EQ(kept.Picture.Width, shownWidth);
    ASSERT_EQ(kept.Picture.Height, shownHeight);
    for (const auto [x, y] : {std::pair{8, 8}, {shownWidth - 9, 8}, {8, shownHeight - 9}, {shownWidth - 9, shownHeight - 9}}) {
      int cx = o.Swapped ? y : x, cy = o.Swapped ? x : y;
      if (o.MirrorX) cx = Width - 1 - cx;
      if (o.MirrorY) cy = Height - 1 - cy;
      EXPECT_TRUE(Near(kept.At(x, y), QuadrantColour(cx, cy, Width, Height), 12)) << "at " << x << ", " << y;
    }
  }
}

// The left half opaque, the right half at alpha 128, a strip at the bottom fully transparent.
Image Translucent() {
  return testing::MakeImage(64, 64, 4, [](int x, int y) {
    const std::uint8_t alpha = y >= 56 ? 0 : x < 32 ? 255 : 128;
    return std::vector<std::uint8_t>{200, 120, 40, alpha};
  });
}

TEST(DecodeHeif, AlphaIsCompositedOverBlackAndDeepSamplesKeepTheirHighBits) {
  struct Case {
    const char* Name;
    testing::HeifOptions Options;
  };
  const Case cases[] = {
      {"HEIC", {.Quality = 90}},
      {"HEIC 10-bit", {.Quality = 90, .BitDepth = 10}},
      {"HEIC 12-bit", {.Quality = 90, .BitDepth = 12}},
      {"AVIF", {.Avif = true, .Quality = 90}},
      // Debian's AOM encoder fails on 10-bit samples; its decoders take them.
      {"AVIF 12-bit", {.Avif = true, .Quality = 90, .BitDepth = 12}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const KeptPicture opaque = Decode(testing::HeifBytes(Flat(64, 64, {200, 120, 40}), c.Options));
    EXPECT_TRUE(Near(opaque.At(32, 32), {200, 120, 40}, 8));
    const KeptPicture translucent = Decode(testing::HeifBytes(Translucent(), c.Options));
    EXPECT_TRUE(Near(translucent.At(10, 20), {200, 120, 40}, 8));
    EXPECT_TRUE(Near(translucent.At(54, 20), {100, 60, 20}, 8));
    EXPECT_TRUE(Near(translucent.At(20, 62), {0, 0, 0}, 8));
  }
}

}  // namespace
}  // namespace tessimar
