// The 1/8-scale bitmap computed from rows must equal, bit for bit, what libjpeg draws from the
// quality-90 JPEG of those rows: every signature is taken from it.
#include <gtest/gtest.h>

#include <random>

#include "decode/eighth_scale_draw.h"
#include "decode/jpeg_decoder.h"
#include "decode/jpeg_encoder.h"
#include "decode/picture_loader.h"
#include "picture_fixtures.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

using testing::Image;

// Tiles of 40 x 24 pixels, each flat, saturated, noisy, a gradient or a one-pixel checker of
// extremes, so that blocks meet every kind of neighbour, clamping included.
RgbPicture RandomPicture(std::int32_t width, std::int32_t height, std::uint32_t seed) {
  std::mt19937 random(seed);
  const auto byte = [&] { return static_cast<std::uint8_t>(random() & 0xFF); };
  const std::int32_t tilesAcross = (width + 39) / 40, tilesDown = (height + 23) / 24;
  std::vector<int> kinds;
  std::vector<std::array<std::uint8_t, 6>> colours;
  for (std::int32_t i = 0; i < tilesAcross * tilesDown; ++i) {
    kinds.push_back(static_cast<int>(random() % 5));
    std::array<std::uint8_t, 6> c{};
    for (std::uint8_t& v : c) v = kinds.back() == 1 || kinds.back() == 4 ? (random() % 2 != 0 ? 255 : 0) : byte();
    colours.push_back(c);
  }
  RgbPicture picture = MakeRgbPicture(width, height);
  for (std::int32_t y = 0; y < height; ++y) {
    std::uint8_t* p = picture.Row(y);
    for (std::int32_t x = 0; x < width; ++x, p += 3) {
      const std::size_t tile = static_cast<std::size_t>(y / 24 * tilesAcross + x / 40);
      const std::array<std::uint8_t, 6>& c = colours[tile];
      for (int k = 0; k < 3; ++k) {
        switch (kinds[tile]) {
          case 0:
          case 1:
            p[k] = c[k];
            break;
          case 2:
            p[k] = byte();
            break;
          case 3:
            p[k] = static_cast<std::uint8_t>(c[k] + (x % 40) * (c[k + 3] % 7) + (y % 24) * 3);
            break;
          default:
            p[k] = (x + y) % 2 == 0 ? c[k] : c[k + 3];
        }
      }
    }
  }
  return picture;
}

WorkingBitmap ThroughJpeg(const RgbPicture& picture) {
  WorkingBitmap bitmap;
  DrawJpeg(EncodeJpeg(picture), {}, bitmap);
  return bitmap;
}

WorkingBitmap FromRows(const RgbPicture& picture) {
  WorkingBitmap bitmap;
  EighthScaleDraw draw(bitmap);
  draw.Begin(picture.Width, picture.Height);
  for (std::int32_t y = 0; y < picture.Height; ++y) draw.Row(y, picture.Row(y));
  draw.Finish();
  return bitmap;
}

::testing::AssertionResult SameBitmaps(const WorkingBitmap& actual, const WorkingBitmap& expected) {
  for (int y = 0; y < WorkingBitmap::Side; ++y) {
    for (int x = 0; x < WorkingBitmap::Side; ++x) {
      const std::uint8_t *a = actual.Pixel(x, y), *e = expected.Pixel(x, y);
      if (a[0] != e[0] || a[1] != e[1] || a[2] != e[2]) {
        return ::testing::AssertionFailure()
               << "at " << x << ", " << y << ": (" << +a[0] << ", " << +a[1] << ", " << +a[2] << ") instead of ("
               << +e[0] << ", " << +e[1] << ", " << +e[2] << ")";
      }
    }
  }
  return ::testing::AssertionSuccess();
}

TEST(EighthScaleDraw, EqualsTheJpegRouteOnRandomPictures) {
  // Odd and even sides just above the 1/8 threshold, where the stretch reads the last blocks
  // and the encoder's edge replication matters, and a few larger ones.
  std::vector<std::pair<std::int32_t, std::int32_t>> sizes;
  for (std::int32_t w = 1001; w <= 1017; w += 1) sizes.emplace_back(w, 2018 - w);
  for (const auto& size : {std::pair{1024, 1024}, std::pair{1031, 1033}, std::pair{1600, 1201}, std::pair{2047, 1039},
                           std::pair{1001, 3001}}) {
    sizes.push_back(size);
  }
  std::uint32_t seed = 1;
  for (const auto& [width, height] : sizes) {
    for (int round = 0; round < 2; ++round, ++seed) {
      SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height) + ", seed " + std::to_string(seed));
      const RgbPicture picture = RandomPicture(width, height, seed);
      ASSERT_TRUE(SameBitmaps(FromRows(picture), ThroughJpeg(picture)));
    }
  }
}

TEST(EighthScaleDraw, EqualsTheJpegRouteOnFlatAndExtremePictures) {
  const RgbPicture noise = RandomPicture(1100, 1050, 99);
  struct Case {
    const char* Name;
    std::function<void(std::int32_t, std::int32_t, std::uint8_t*)> Pixel;
  };
  const Case cases[] = {
      {"black", [](std::int32_t, std::int32_t, std::uint8_t* p) { p[0] = p[1] = p[2] = 0; }},
      {"white", [](std::int32_t, std::int32_t, std::uint8_t* p) { p[0] = p[1] = p[2] = 255; }},
      {"pure blue", [](std::int32_t, std::int32_t, std::uint8_t* p) { p[0] = p[1] = 0, p[2] = 255; }},
      {"red and cyan checker",
       [](std::int32_t x, std::int32_t y, std::uint8_t* p) {
         const bool red = (x + y) % 2 == 0;
         p[0] = red ? 255 : 0, p[1] = p[2] = red ? 0 : 255;
       }},
      {"noise", [&](std::int32_t x, std::int32_t y, std::uint8_t* p) { std::copy_n(noise.Row(y) + x * 3, 3, p); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    RgbPicture picture = MakeRgbPicture(1100, 1050);
    for (std::int32_t y = 0; y < picture.Height; ++y) {
      for (std::int32_t x = 0; x < picture.Width; ++x) c.Pixel(x, y, picture.Row(y) + x * 3);
    }
    ASSERT_TRUE(SameBitmaps(FromRows(picture), ThroughJpeg(picture)));
  }
}

// The loader's route for each type: the decoder's rows, the 1/8 computation and the size
// equal drawing the type's JPEG image, which the preview shows.
TEST(EighthScaleDraw, LoadPictureOfEachTypeEqualsDrawingItsJpeg) {
  const RgbPicture picture = RandomPicture(1203, 1011, 7);
  Image image{picture.Width, picture.Height, 3, picture.Pixels};
  testing::GifOptions gif{1203, 1011, 0, {{250, 0, 0}, {0, 0, 250}, {30, 200, 90}}, {}};
  testing::GifFrame frame = testing::TwoIndexFrame(1100, 1000, 517, 0, 1);
  frame.Left = 50, frame.Top = 3, frame.Interlaced = true;
  for (std::size_t i = 0; i < frame.Indices.size(); i += 7) frame.Indices[i] = 2;
  gif.Frames.push_back(frame);
  struct Case {
    const char* Name;
    std::string Bytes;
  };
  const Case cases[] = {
      {"big.png", testing::PngBytes(image)},
      {"big.tif", testing::TiffBytes(image)},
      {"big.bmp", testing::BmpBytes(image, {})},
      {"big.gif", testing::GifBytes(gif)},
  };
  const testing::TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string file = folder.Write(c.Name, c.Bytes);
    WorkingBitmap loaded, drawn;
    EXPECT_EQ(LoadPicture(file, loaded), (PictureSize{1011, 1203}));
    DrawJpeg(PictureAsJpeg(file), {}, drawn);
    EXPECT_TRUE(SameBitmaps(loaded, drawn));
  }
}

}  // namespace
}  // namespace tessimar
