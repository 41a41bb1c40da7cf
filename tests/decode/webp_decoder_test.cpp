#include "decode/webp_decoder.h"

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

KeptPicture Decode(const std::string& bytes) {
  const testing::TempFolder folder;
  const OpenedFile file(folder.Write("picture.webp", bytes));
  KeptPicture kept;
  DecodeWebp(file, kept);
  return kept;
}

Image Rgba(int width, int height, const std::function<Rgb(int, int)>& colour, std::uint8_t alpha = 255) {
  return testing::MakeImage(width, height, 4, [&](int x, int y) {
    const Rgb c = colour(x, y);
    return std::vector<std::uint8_t>{c.R, c.G, c.B, alpha};
  });
}

TEST(DecodeWebp, StillPicturesLossyAndLosslessWithAlphaOverBlack) {
  // The left half opaque, the right half at alpha 128, the bottom rows fully transparent.
  const Image translucent = testing::MakeImage(64, 48, 4, [](int x, int y) {
    const std::uint8_t alpha = y >= 40 ? 0 : x < 32 ? 255 : 128;
    return std::vector<std::uint8_t>{200, 120, 40, alpha};
  });
  struct Case {
    const char* Name;
    testing::WebpOptions Options;
    int Tolerance;
  };
  const Case cases[] = {{"lossy", {.Quality = 90}, 8}, {"lossless", {.Lossless = true}, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const KeptPicture kept = Decode(testing::WebpBytes(translucent, c.Options));
    ASSERT_EQ(kept.Picture.Width, 64);
    ASSERT_EQ(kept.Picture.Height, 48);
    EXPECT_TRUE(Near(kept.At(10, 20), {200, 120, 40}, c.Tolerance));
    EXPECT_TRUE(Near(kept.At(54, 20), {100, 60, 20}, c.Tolerance));
    EXPECT_TRUE(Near(kept.At(20, 46), {0, 0, 0}, c.Tolerance));
  }
}

TEST(DecodeWebp, AnAnimationGivesItsFirstFrame) {
  const Image red = Rgba(40, 30, [](int, int) { return Rgb{220, 30, 30}; });
  const Image blue = Rgba(40, 30, [](int, int) { return Rgb{40, 60, 220}; });
  // Half transparent where a later frame would show through if frames were merged.
  const Image half = Rgba(40, 30, [](int, int) { return Rgb{30, 200, 60}; }, 128);
  for (const auto& [frames, expected] : {std::pair{std::vector{red, blue}, Rgb{220, 30, 30}},
                                         std::pair{std::vector{half, red}, Rgb{15, 100, 30}}}) {
    const KeptPicture kept = Decode(testing::AnimatedWebpBytes(frames));
    ASSERT_EQ(kept.Picture.Width, 40);
    ASSERT_EQ(kept.Picture.Height, 30);
    EXPECT_TRUE(Near(kept.At(20, 15), expected, 1));
  }
}

}  // namespace
}  // namespace tessimar
