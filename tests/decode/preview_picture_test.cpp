#include "decode/preview_picture.h"

#include <gtest/gtest.h>

#include <string>

#include "decode/jpeg_encoder.h"
#include "decode/jpeg_fast_decoder.h"
#include "decode/picture_error.h"
#include "picture_fixtures.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

using testing::Image;
using testing::Rgb;
using testing::TempFolder;

constexpr Rgb Blue{20, 40, 160};
constexpr Rgb Orange{230, 140, 30};

Image Plain(int width, int height, Rgb colour) { return testing::TwoColour(width, height, width, colour, colour); }

std::vector<std::uint8_t> AsBytes(const std::string& text) { return {text.begin(), text.end()}; }

RgbPicture AsPicture(const Image& image) {
  RgbPicture picture = MakeRgbPicture(image.Width, image.Height);
  picture.Pixels = image.Samples;
  return picture;
}

std::string Describe(const RgbPicture& p) { return std::to_string(p.Width) + " x " + std::to_string(p.Height); }

TEST(LoadPreviewPicture, TheCataloguedSizeChoosesTheScale) {
  struct Case {
    int FileWidth, FileHeight;
    std::int32_t CataloguedWidth, CataloguedHeight;
    std::int32_t Width, Height;  // as decoded
  };
  const Case cases[] = {
      {1200, 900, 1200, 900, 600, 450},     // wider than 1000: half
      {220, 290, 220, 290, 220, 290},       // full size
      {30, 30, 30, 30, 30, 30},
      {1000, 1000, 1000, 1000, 1000, 1000},  // the bounds themselves stay full size
      {1200, 1600, 1200, 1600, 300, 400},   // higher than 1500: quarter
      {1900, 1500, 1900, 1500, 950, 750},   // 1500 high and 1900 wide: half
      {2001, 100, 2001, 100, 501, 25},      // wider than 2000: quarter
      {400, 300, 400, 1600, 100, 75},       // the file is not asked for its size
      {400, 300, 1001, 300, 200, 150},
  };
  const TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.FileWidth) + " x " + std::to_string(c.FileHeight) + " catalogued as " +
                 std::to_string(c.CataloguedWidth) + " x " + std::to_string(c.CataloguedHeight));
    const std::string file = folder.Write("p.jpg", testing::JpegBytes(Plain(c.FileWidth, c.FileHeight, Blue)));
    const RgbPicture picture = LoadPreviewPicture(file, c.CataloguedHeight, c.CataloguedWidth);
    EXPECT_EQ(Describe(picture), Describe({c.Width, c.Height, {}}));
    EXPECT_EQ(picture.Pixels.size(), static_cast<std::size_t>(c.Width) * c.Height * 3);
  }
}

TEST(LoadPreviewPicture, EveryOtherTypeIsShownThroughAJpegOfQualityNinety) {
  // Sharp edges, so the JPEG's traces show.
  const Image image = testing::TwoColour(48, 40, 21, Blue, Orange);
  testing::GifOptions gif{48, 40, 0, {Blue, Orange}, {testing::TwoIndexFrame(48, 40, 21, 0, 1)}};
  struct Case {
    const char* Name;
    std::string Bytes;
  };
  const Case cases[] = {
      {"e.png", testing::PngBytes(image)},
      {"e.gif", testing::GifBytes(gif)},
      {"e.BMP", testing::BmpBytes(image, {})},
      {"e.tif", testing::TiffBytes(image)},
      {"e.tiff", testing::TiffBytes(image)},
  };
  const RgbPicture throughJpeg = DecodeJpegFast(EncodeJpeg(AsPicture(image)), 1);
  ASSERT_NE(throughJpeg.Pixels, image.Samples);
  const TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(LoadPreviewPicture(folder.Write(c.Name, c.Bytes), 40, 48).Pixels, throughJpeg.Pixels);
  }
}

TEST(LoadPreviewPicture, AJpegIsDecodedFromItsOwnBytesAndAlwaysToRgb) {
  const Image ramp = testing::MakeImage(64, 16, 1, [](int x, int) { return std::vector<std::uint8_t>{std::uint8_t(x * 4)}; });
  const Image cmyk = testing::MakeImage(16, 16, 4, [](int x, int) {
    return std::vector<std::uint8_t>{std::uint8_t(x * 16), 0, 255, 30};
  });
  struct Case {
    const char* Name;
    std::string Bytes;
  };
  const Case cases[] = {
      {"colour.jpg", testing::JpegBytes(Plain(16, 16, Orange))},
      {"gray.JPEG", testing::JpegBytes(ramp)},
      {"cmyk.jpg", testing::JpegBytes(cmyk)},
  };
  const TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const RgbPicture picture = LoadPreviewPicture(folder.Write(c.Name, c.Bytes), 16, 16);
    EXPECT_EQ(picture.Pixels, DecodeJpegFast(AsBytes(c.Bytes), 1).Pixels);
    EXPECT_EQ(picture.Pixels.size(), static_cast<std::size_t>(picture.Width) * picture.Height * 3);
  }
  const RgbPicture gray = LoadPreviewPicture(folder / "gray.JPEG", 16, 64);
  for (int x = 0; x < gray.Width; ++x) {
    const std::uint8_t* p = gray.Row(8) + x * 3;
    ASSERT_TRUE(p[0] == p[1] && p[1] == p[2]) << "at " << x;
  }
}

TEST(LoadPreviewPicture, FailuresSayWhatWentWrong) {
  const TempFolder folder;
  const std::string missing = folder / "gone.jpg";
  const std::string jpeg = testing::JpegBytes(Plain(32, 32, Blue));
  folder.MakeFolder("folder.jpg");
  struct Case {
    std::string File;
    std::string Message;  // the whole message, or its start when it ends in "..."
  };
  const Case cases[] = {
      {missing, "Cannot open file \"" + missing + "\". No such file or directory"},
      {folder.Write("cut.jpg", jpeg.substr(0, 40)), "JPEG: ..."},
      {folder.Write("text.png", "not a picture"), "PNG: ..."},
      {folder / "folder.jpg", "not a regular file"},
      {folder.Write("notes.txt", jpeg), "no decoder for the extension \".TXT\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.File);
    try {
      LoadPreviewPicture(c.File, 32, 32);
      ADD_FAILURE() << "no error";
    } catch (const PictureError& error) {
      const std::string text = error.what();
      if (c.Message.ends_with("...")) {
        EXPECT_TRUE(text.starts_with(c.Message.substr(0, c.Message.size() - 3))) << text;
      } else {
        EXPECT_EQ(text, c.Message);
      }
    }
  }
}

TEST(DrawFrame, PaintsTheOutermostRowsAndColumnsWhiteAndNothingElse) {
  struct Case {
    std::int32_t Width, Height;
    std::int32_t TopLeft, BottomRight;  // rows and columns the pen covers on each side
  };
  const Case cases[] = {
      {600, 450, 11, 11},  // pen 22
      {220, 290, 6, 5},    // pen 11: the odd pixel falls on the top and left
      {30, 30, 1, 1},      // the thinnest pen, 2
      {80, 60, 2, 1},      // pen 3
      {19, 500, 1, 1},
      {1, 1, 1, 1},
      {3, 2, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.Width) + " x " + std::to_string(c.Height));
    RgbPicture picture = MakeRgbPicture(c.Width, c.Height);
    for (std::size_t i = 0; i < picture.Pixels.size(); ++i) picture.Pixels[i] = static_cast<std::uint8_t>(i % 251);
    const RgbPicture before = picture;
    DrawFrame(picture);
    for (std::int32_t y = 0; y < c.Height; ++y) {
      for (std::int32_t x = 0; x < c.Width; ++x) {
        const bool frame = x < c.TopLeft || y < c.TopLeft || x >= c.Width - c.BottomRight || y >= c.Height - c.BottomRight;
        for (int k = 0; k < 3; ++k) {
          ASSERT_EQ(picture.Row(y)[x * 3 + k], frame ? 255 : before.Row(y)[x * 3 + k]) << "at " << x << ", " << y;
        }
      }
    }
  }
}

TEST(DrawFrame, OnADecodedPictureFollowsItsReducedSize) {
  const TempFolder folder;
  const std::string file = folder.Write("big.jpg", testing::JpegBytes(Plain(1200, 900, Blue)));
  RgbPicture picture = LoadPreviewPicture(file, 900, 1200);
  DrawFrame(picture);
  const auto white = [&](int x, int y) {
    const std::uint8_t* p = picture.Row(y) + x * 3;
    return p[0] == 255 && p[1] == 255 && p[2] == 255;
  };
  // A pen of 450 / 20 = 22: 11 pixels of it on every side of the 600 x 450 picture.
  EXPECT_TRUE(white(300, 10) && white(300, 439) && white(10, 225) && white(589, 225));
  EXPECT_FALSE(white(300, 11) || white(300, 438) || white(11, 225) || white(588, 225));
}

}  // namespace
}  // namespace tessimar
