#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>

#include "decode/jpeg_decoder.h"
#include "decode/picture_error.h"
#include "decode/picture_loader.h"
#include "decode/stretch.h"
#include "file_state.h"
#include "kept_picture.h"
#include "picture_fixtures.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

using testing::Image;
using testing::Near;
using testing::Rgb;
using testing::TempFolder;

constexpr int Side = WorkingBitmap::Side;

Rgb At(const WorkingBitmap& bitmap, int x, int y) {
  const std::uint8_t* p = bitmap.Pixel(x, y);
  return {p[0], p[1], p[2]};
}

// A bitmap full of a colour no fixture uses, so a pixel left unwritten shows.
WorkingBitmap StaleBitmap() {
  WorkingBitmap bitmap;
  bitmap.Pixels.fill(0x5A);
  return bitmap;
}

PictureSize LoadBytes(const TempFolder& folder, const std::string& name, const std::string& bytes,
                      WorkingBitmap& bitmap, const TSettings& settings = {}) {
  return LoadPicture(folder.Write(name, bytes), bitmap, settings);
}

// ---- the stretch ----

TEST(NearestStretch, TargetTakesTheSourceAtTheFlooredScaledPosition) {
  struct Case {
    std::int32_t Width, Height;
  };
  for (const Case c : {Case{3, 300}, Case{200, 5}, Case{128, 128}, Case{1, 1}}) {
    SCOPED_TRACE(std::to_string(c.Width) + " x " + std::to_string(c.Height));
    WorkingBitmap bitmap = StaleBitmap();
    BitmapStretcher stretcher(bitmap, c.Width, c.Height);
    for (std::int32_t y = 0; y < c.Height; ++y) {
      std::vector<std::uint8_t> row;
      for (std::int32_t x = 0; x < c.Width; ++x) {
        row.insert(row.end(),
                   {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(y >> 8)});
      }
      stretcher.AddRow(y, row.data());
    }
    for (int y = 0; y < Side; ++y) {
      for (int x = 0; x < Side; ++x) {
        const int sx = x * c.Width / Side, sy = y * c.Height / Side;
        ASSERT_EQ(At(bitmap, x, y), (Rgb{static_cast<std::uint8_t>(sx), static_cast<std::uint8_t>(sy),
                                         static_cast<std::uint8_t>(sy >> 8)}))
            << "at " << x << ", " << y;
      }
    }
  }
}

// ---- every type ----

// 80 x 48, gray A where (x < 32) == (y < 16), gray B elsewhere: edges on block boundaries, so
// the JPEG steps keep them sharp. Target column 51 takes source column 31 (A) and row 42 takes
// source row 15 (A): a rule sampling pixel centres would take B there.
constexpr Rgb QuadrantA{40, 40, 40}, QuadrantB{215, 215, 215};
bool QuadrantIsA(int x, int y, int columnBoundary, int rowBoundary) {
  return (x < columnBoundary) == (y < rowBoundary);
}

Image QuadrantImage() {
  return testing::MakeImage(80, 48, 3, [](int x, int y) {
    const Rgb c = QuadrantIsA(x, y, 32, 16) ? QuadrantA : QuadrantB;
    return std::vector<std::uint8_t>{c.R, c.G, c.B};
  });
}

std::string QuadrantGif() {
  testing::GifOptions gif{80, 48, 0, {QuadrantA, QuadrantB}, {}};
  testing::GifFrame frame{0, 0, 80, 48, false, {}, {}, NO_TRANSPARENT_COLOR};
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 80; ++x) frame.Indices.push_back(QuadrantIsA(x, y, 32, 16) ? 0 : 1);
  }
  gif.Frames.push_back(frame);
  return testing::GifBytes(gif);
}

TEST(LoadPicture, EveryTypeGivesItsSizeAndIsStretchedPixelByPixel) {
  const Image image = QuadrantImage();
  struct Case {
    const char* Name;
    std::string Bytes;
  };
  const Case cases[] = {
      {"q.jpg", testing::JpegBytes(image)}, {"q.png", testing::PngBytes(image)},     {"q.gif", QuadrantGif()},
      {"q.tif", testing::TiffBytes(image)}, {"q.bmp", testing::BmpBytes(image, {})},
      {"q.heic", testing::HeifBytes(image, {.Quality = 95})},
      {"q.avif", testing::HeifBytes(image, {.Avif = true, .Quality = 95})},
      {"q.webp", testing::WebpBytes(image, {.Lossless = true})},
  };
  const TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    WorkingBitmap bitmap = StaleBitmap();
    EXPECT_EQ(LoadBytes(folder, c.Name, c.Bytes, bitmap), (PictureSize{48, 80}));
    for (int y = 0; y < Side; ++y) {
      for (int x = 0; x < Side; ++x) {
        ASSERT_TRUE(Near(At(bitmap, x, y), QuadrantIsA(x, y, 52, 43) ? QuadrantA : QuadrantB, 6))
            << "at " << x << ", " << y;
      }
    }
  }
}

TEST(LoadPicture, ExtensionChoosesTheDecoderWithoutRegardToCase) {
  const std::string jpeg = testing::JpegBytes(QuadrantImage());
  const std::string tiff = testing::TiffBytes(QuadrantImage());
  const std::string heic = testing::HeifBytes(QuadrantImage()), webp = testing::WebpBytes(QuadrantImage());
  struct Case {
    const char* Name;
    const std::string* Bytes;
    bool Loads;
  };
  const Case cases[] = {
      {"photo.jpg", &jpeg, true}, {"photo.JPEG", &jpeg, true},    {"photo.Jpg", &jpeg, true},
      {"scan.tiff", &tiff, true}, {"scan.TIF", &tiff, true},      {"a.b.jpeg", &jpeg, true},
      {"phone.HEIC", &heic, true}, {"phone.heif", &heic, true},   {"camera.Hif", &heic, true},
      {"phone.avif", &heic, true}, {"web.WebP", &webp, true},     {"x.heics", &heic, false},
      {"x.jpgg", &jpeg, false},   {"x.jpe", &jpeg, false},        {"x.tifx", &tiff, false},
      {"x.ico", &jpeg, false},    {"no_extension", &jpeg, false}, {"dot.jpg.d/file", &jpeg, false},
  };
  const TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    WorkingBitmap bitmap;
    if (c.Loads) {
      EXPECT_EQ(LoadBytes(folder, c.Name, *c.Bytes, bitmap), (PictureSize{48, 80}));
    } else {
      EXPECT_THROW(LoadBytes(folder, c.Name, *c.Bytes, bitmap), PictureError);
    }
  }
}

TEST(LoadPicture, ContentOfAnotherTypeFails) {
  const Image image = QuadrantImage();
  const std::string jpeg = testing::JpegBytes(image), png = testing::PngBytes(image);
  struct Case {
    const char* Name;
    const std::string* Bytes;
  };
  const Case cases[] = {{"png.jpg", &png},   {"jpeg.png", &jpeg}, {"jpeg.gif", &jpeg},
                        {"jpeg.tif", &jpeg}, {"jpeg.bmp", &jpeg}, {"png.tif", &png}};
  const TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    WorkingBitmap bitmap;
    EXPECT_THROW(LoadBytes(folder, c.Name, *c.Bytes, bitmap), PictureError);
  }
}

// ---- JPEG ----

TEST(JpegScale, BothSidesMustExceedTheirBound) {
  struct Case {
    PictureSize Size;
    MinimumSize Minimum;
    int Denominator;
  };
  const Case cases[] = {
      {{3000, 4000}, {100, 100}, 8}, {{900, 1200}, {100, 100}, 4},    {{800, 3000}, {100, 100}, 4},
      {{400, 4000}, {100, 100}, 1},  {{3000, 4000}, {2000, 2000}, 8}, {{1900, 1900}, {2000, 2000}, 1},
      {{1001, 1001}, {100, 100}, 8}, {{1000, 4000}, {100, 100}, 4},   {{501, 501}, {100, 100}, 4},
      {{500, 4000}, {100, 100}, 1},  {{2000, 900}, {800, 100}, 4},    {{2000, 700}, {800, 100}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.Size.Width) + " x " + std::to_string(c.Size.Height) + " min " +
                 std::to_string(c.Minimum.Width) + " x " + std::to_string(c.Minimum.Height));
    EXPECT_EQ(ChooseScaleDenominator(c.Size, c.Minimum), c.Denominator);
  }
}

// Top half: bands 4 pixels wide, which survive 1/4 scale but average out at 1/8. Bottom half:
// a one-pixel checkerboard, which only full scale keeps.
Image ScaleProbe(int width, int height) {
  return testing::MakeImage(width, height, 1, [height](int x, int y) {
    const bool white = y < height / 2 ? (x / 4) % 2 == 1 : (x + y) % 2 == 1;
    return std::vector<std::uint8_t>{static_cast<std::uint8_t>(white ? 255 : 0)};
  });
}

double ContrastShare(const WorkingBitmap& bitmap, int firstRow, int lastRow) {
  int strong = 0, all = 0;
  for (int y = firstRow; y <= lastRow; ++y) {
    for (int x = 0; x < Side; ++x, ++all) strong += std::abs(At(bitmap, x, y).R - 128) > 80 ? 1 : 0;
  }
  return static_cast<double>(strong) / all;
}

TEST(LoadPicture, LargeJpegIsDecodedAtTheScaleItsSizeCallsFor) {
  struct Case {
    int Width, Height;
    std::int32_t MinWidth, MinHeight;
    int Denominator;
  };
  const Case cases[] = {{4000, 3000, 100, 100, 8}, {1200, 900, 100, 100, 4}, {1904, 1904, 2000, 2000, 1}};
  const TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.Width) + " x " + std::to_string(c.Height));
    TSettings settings;
    settings.MinPicWidth = c.MinWidth, settings.MinPicHeight = c.MinHeight;
    WorkingBitmap bitmap;
    const std::string jpeg = testing::JpegBytes(ScaleProbe(c.Width, c.Height), {90});
    EXPECT_EQ(LoadBytes(folder, "big.jpg", jpeg, bitmap, settings), (PictureSize{c.Height, c.Width}));
    const bool bandsKept = ContrastShare(bitmap, 4, 56) > 0.9, checkerKept = ContrastShare(bitmap, 72, 124) > 0.9;
    EXPECT_EQ(bandsKept, c.Denominator < 8);
    EXPECT_EQ(checkerKept, c.Denominator == 1);
    EXPECT_LT(ContrastShare(bitmap, 4, 56), bandsKept ? 1.1 : 0.1);
  }
}

TEST(LoadPicture, GrayJpegTakesItsLevelsFromA236ColourPalette) {
  std::set<int> palette;
  for (int j = 0; j < 236; ++j) palette.insert((j * 255 + 117) / 235);
  const Image ramp = testing::MakeImage(
      256, 32, 1, [](int x, int) { return std::vector<std::uint8_t>{static_cast<std::uint8_t>(x)}; });
  const TempFolder folder;
  WorkingBitmap bitmap;
  LoadBytes(folder, "gray.jpg", testing::JpegBytes(ramp, {100}), bitmap);
  std::set<int> seen;
  for (int y = 0; y < Side; ++y) {
    for (int x = 0; x < Side; ++x) {
      const Rgb c = At(bitmap, x, y);
      ASSERT_TRUE(c.R == c.G && c.G == c.B) << "at " << x << ", " << y;
      ASSERT_TRUE(palette.count(c.R)) << +c.R << " is no palette level, at " << x << ", " << y;
      seen.insert(c.R);
    }
  }
  EXPECT_GT(seen.size(), 100u);
}

TEST(LoadPicture, CmykJpegBecomesRgbWithAdobeInversion) {
  struct Case {
    const char* Name;
    J_COLOR_SPACE Stored;
    bool Adobe;
    std::uint8_t C, M, Y, K;
  };
  // Each stores red: Adobe's inverted CMYK keeps 255 for no ink.
  const Case cases[] = {{"CMYK, Adobe", JCS_CMYK, true, 255, 0, 0, 255},
                        {"YCCK, Adobe", JCS_YCCK, true, 255, 0, 0, 255},
                        {"CMYK, plain", JCS_CMYK, false, 0, 255, 255, 0}};
  const TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const Image image = testing::MakeImage(32, 32, 4, [&](int, int) {
      return std::vector<std::uint8_t>{c.C, c.M, c.Y, c.K};
    });
    WorkingBitmap bitmap = StaleBitmap();
    LoadBytes(folder, "cmyk.jpg", testing::JpegBytes(image, {95, c.Stored, c.Adobe}), bitmap);
    EXPECT_TRUE(Near(At(bitmap, 0, 0), {255, 0, 0}, 8));
    EXPECT_TRUE(Near(At(bitmap, 127, 127), {255, 0, 0}, 8));
  }
}

// A junk byte before each of count comment segments: one libjpeg warning each.
std::string WithJunkSegments(const std::string& jpeg, int count) {
  std::string junk;
  for (int i = 0; i < count; ++i) junk += std::string("\x00\xFF\xFE\x00\x02", 5);
  return jpeg.substr(0, 2) + junk + jpeg.substr(2);
}

TEST(LoadPicture, JpegWarningsPassUntilThereAreTooMany) {
  const std::string jpeg = testing::JpegBytes(QuadrantImage());
  struct Case {
    const char* Name;
    std::string Bytes;
    bool Loads;
  };
  const Case cases[] = {{"100 warnings", WithJunkSegments(jpeg, 100), true},
                        {"101 warnings", WithJunkSegments(jpeg, 101), false},
                        {"premature end of data", jpeg.substr(0, (jpeg.find("\xFF\xDA") + jpeg.size()) / 2), true}};
  const TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    WorkingBitmap bitmap;
    if (c.Loads) {
      EXPECT_EQ(LoadBytes(folder, "w.jpg", c.Bytes, bitmap), (PictureSize{48, 80}));
      EXPECT_TRUE(Near(At(bitmap, 0, 0), QuadrantA, 6));
    } else {
      EXPECT_THROW(LoadBytes(folder, "w.jpg", c.Bytes, bitmap), PictureError);
    }
  }
}

// A progressive picture keeps 128 bytes of coefficients an 8 x 8 block. Flat ones hold next to no
// data: below 64 MB of coefficients they load, above it they are refused unless some part of
// them, here a band of noise, brings the data up to a 256th of the coefficients.
TEST(LoadPicture, LargeProgressiveJpegMustHoldDataForItsCoefficients) {
  struct Case {
    const char* Name;
    int Side;
    bool Noise, Loads;
  };
  const Case cases[] = {
      {"flat, 48 MB of coefficients", 4992, false, true},
      {"flat, 72 MB of coefficients", 6000, false, false},
      {"flat with a band of noise, 72 MB of coefficients", 6000, true, true},
  };
  const TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Image image{c.Side, c.Side, 1, std::vector<std::uint8_t>(static_cast<std::size_t>(c.Side) * c.Side, 128)};
    std::minstd_rand random(1);
    const std::size_t noisy = c.Noise ? static_cast<std::size_t>(c.Side) * 200 : 0;
    for (std::size_t i = 0; i < noisy; ++i) image.Samples[i] = static_cast<std::uint8_t>(random());
    const std::string jpeg = testing::JpegBytes(image, {.Quality = 50, .Progressive = true});
    WorkingBitmap bitmap;
    if (c.Loads) {
      EXPECT_EQ(LoadBytes(folder, "p.jpg", jpeg, bitmap), (PictureSize{c.Side, c.Side}));
    } else {
      EXPECT_THROW(LoadBytes(folder, "p.jpg", jpeg, bitmap), PictureError);
    }
  }
}

// Every scan passes over all the blocks of its components. A script of a scan for each AC
// coefficient and four refinements of each gives 316 scans; over the 262,144 blocks of a flat
// 4096 x 4096 picture that is 83 million block passes for a few kilobytes of data, refused,
// unless the file holds data enough for them (here comments).
TEST(LoadPicture, JpegOfManyScansMustHoldDataForThem) {
  std::vector<jpeg_scan_info> script{{1, {0}, 0, 0, 0, 0}};
  for (int k = 1; k < 64; ++k) {
    script.push_back({1, {0}, k, k, 0, 4});
    for (int al = 4; al > 0; --al) script.push_back({1, {0}, k, k, al, al - 1});
  }
  const Image flat{4096, 4096, 1, std::vector<std::uint8_t>(std::size_t{4096} * 4096, 90)};
  const std::string many = testing::JpegBytes(flat, {.Quality = 50, .Scans = script});
  std::string comments;
  for (int i = 0; i < 21; ++i) comments += "\xFF\xFE\xFF\xFF" + std::string(65533, 'c');
  struct Case {
    const char* Name;
    std::string Bytes;
    bool Loads;
  };
  const Case cases[] = {
      {"ten scans", testing::JpegBytes(flat, {.Quality = 50, .Progressive = true}), true},
      {"316 scans", many, false},
      {"316 scans and 1.4 MB of comments", many.substr(0, 2) + comments + many.substr(2), true},
  };
  const TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    WorkingBitmap bitmap;
    if (c.Loads) {
      EXPECT_EQ(LoadBytes(folder, "s.jpg", c.Bytes, bitmap), (PictureSize{4096, 4096}));
    } else {
      EXPECT_THROW(LoadBytes(folder, "s.jpg", c.Bytes, bitmap), PictureError);
    }
  }
}

// ---- PNG ----

struct PngCase {
  const char* Name;
  testing::PngOptions Options;
  std::vector<std::uint8_t> Left, Right;  // one pixel's bytes in the row layout
  Rgb ExpectLeft, ExpectRight;
};

// A 32 x 32 PNG of the left pixel in columns 0 to 15 and the right pixel in the others.
std::string TwoPixelPng(const PngCase& c) {
  std::vector<std::uint8_t> rows;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x)
      rows.insert(rows.end(), (x < 16 ? c.Left : c.Right).begin(), (x < 16 ? c.Left : c.Right).end());
  }
  return testing::PngBytes(32, 32, rows, c.Options);
}

TEST(LoadPicture, PngTransparencyAndSampleDepth) {
  using testing::PngOptions;
  const std::vector<Rgb> palette{{200, 0, 0}, {0, 0, 200}, {0, 160, 0}};
  const PngCase cases[] = {
      {"RGBA, all transparent",
       {.ColorType = PNG_COLOR_TYPE_RGB_ALPHA},
       {200, 100, 50, 0},
       {20, 220, 90, 0},
       {0, 0, 0},
       {0, 0, 0}},
      {"RGBA, half and opaque",
       {.ColorType = PNG_COLOR_TYPE_RGB_ALPHA},
       {200, 100, 50, 128},
       {20, 220, 90, 255},
       {100, 50, 25},
       {20, 220, 90}},
      {"gray with alpha",
       {.ColorType = PNG_COLOR_TYPE_GRAY_ALPHA},
       {200, 64},
       {200, 255},
       {50, 50, 50},
       {200, 200, 200}},
      {"palette, one entry transparent",
       {.ColorType = PNG_COLOR_TYPE_PALETTE, .Palette = palette, .PaletteAlpha = {0}},
       {0},
       {1},
       {200, 0, 0},
       {0, 0, 200}},
      {"palette, two entries translucent",
       {.ColorType = PNG_COLOR_TYPE_PALETTE, .Palette = palette, .PaletteAlpha = {0, 128}},
       {0},
       {1},
       {0, 0, 0},
       {0, 0, 100}},
      {"RGB, transparent colour",
       {.TransparentColour = {200, 100, 50}},
       {200, 100, 50},
       {0, 0, 200},
       {200, 100, 50},
       {0, 0, 200}},
      {"gray, transparent colour",
       {.ColorType = PNG_COLOR_TYPE_GRAY, .TransparentColour = {90}},
       {90},
       {180},
       {90, 90, 90},
       {180, 180, 180}},
      {"16-bit RGB keeps the high byte",
       {.BitDepth = 16},
       {0x40, 0xC0, 0x10, 0xF0, 0xC8, 0x08},
       {0x00, 0xFF, 0xFF, 0x00, 0x80, 0x80},
       {0x40, 0x10, 0xC8},
       {0x00, 0xFF, 0x80}},
      {"gamma chunk is not applied", {.Gamma = 1.0}, {100, 100, 100}, {30, 60, 200}, {100, 100, 100}, {30, 60, 200}},
      {"interlaced", {.Interlaced = true}, {200, 100, 50}, {0, 0, 200}, {200, 100, 50}, {0, 0, 200}},
  };
  const TempFolder folder;
  for (const PngCase& c : cases) {
    SCOPED_TRACE(c.Name);
    WorkingBitmap bitmap = StaleBitmap();
    EXPECT_EQ(LoadBytes(folder, "t.png", TwoPixelPng(c), bitmap), (PictureSize{32, 32}));
    EXPECT_TRUE(Near(At(bitmap, 10, 64), c.ExpectLeft, 6));
    EXPECT_TRUE(Near(At(bitmap, 118, 64), c.ExpectRight, 6));
  }
}

TEST(LoadPicture, OneBitGrayPngExpandsToBlackAndWhite) {
  // 32 pixels a row, one bit each: 16 black, then 16 white.
  std::vector<std::uint8_t> rows;
  for (int y = 0; y < 32; ++y) rows.insert(rows.end(), {0x00, 0x00, 0xFF, 0xFF});
  const TempFolder folder;
  WorkingBitmap bitmap;
  LoadBytes(folder, "bits.png", testing::PngBytes(32, 32, rows, {.ColorType = PNG_COLOR_TYPE_GRAY, .BitDepth = 1}),
            bitmap);
  EXPECT_TRUE(Near(At(bitmap, 10, 64), {0, 0, 0}, 4));
  EXPECT_TRUE(Near(At(bitmap, 118, 64), {255, 255, 255}, 4));
}

// ---- GIF ----

TEST(LoadPicture, GifShowsItsFirstFrameOnTheLogicalScreen) {
  constexpr Rgb Red{220, 0, 0}, Blue{0, 0, 220}, Green{0, 200, 0}, Black{0, 0, 0};
  const std::vector<Rgb> global{Red, Blue, Green};  // background: index 2, green
  struct Case {
    const char* Name;
    testing::GifFrame Frame;
    Rgb Outside, Left, Right;  // screen outside the frame (bottom right), frame's left, frame's right
  };
  testing::GifFrame inset = testing::TwoIndexFrame(16, 16, 8, 0, 1);
  inset.Left = 8, inset.Top = 8;
  testing::GifFrame insetTransparent = inset;
  insetTransparent.Transparent = 1;
  testing::GifFrame whole = testing::TwoIndexFrame(32, 32, 16, 0, 1);
  testing::GifFrame wholeTransparent = whole;
  wholeTransparent.Transparent = 0;
  testing::GifFrame interlaced = testing::TwoIndexFrame(32, 32, 16, 0, 1);
  interlaced.Interlaced = true;
  testing::GifFrame local = whole;
  local.LocalColours = {Blue, Red};
  const Case cases[] = {
      {"whole screen, opaque", whole, Blue, Red, Blue},
      {"whole screen, transparent colour", wholeTransparent, Blue, Green, Blue},
      {"inset, opaque", inset, Black, Red, Blue},
      {"inset, transparent colour", insetTransparent, Green, Red, Green},
      {"interlaced", interlaced, Blue, Red, Blue},
      {"local colour table", local, Red, Blue, Red},
  };
  const TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    WorkingBitmap bitmap = StaleBitmap();
    const std::string gif = testing::GifBytes({32, 32, 2, global, {c.Frame}});
    EXPECT_EQ(LoadBytes(folder, "f.gif", gif, bitmap), (PictureSize{32, 32}));
    const int frameLeft = c.Frame.Left * 4, frameMiddle = (c.Frame.Left + c.Frame.Width / 2) * 4;
    const int frameRow = (c.Frame.Top + c.Frame.Height / 2) * 4;
    EXPECT_TRUE(Near(At(bitmap, 124, 124), c.Outside, 8)) << "outside";
    EXPECT_TRUE(Near(At(bitmap, frameLeft + 4, frameRow), c.Left, 8)) << "frame, left";
    EXPECT_TRUE(Near(At(bitmap, frameMiddle + 8, frameRow), c.Right, 8)) << "frame, right";
  }
}

TEST(LoadPicture, GifSizeIsTheLogicalScreen) {
  testing::GifFrame frame = testing::TwoIndexFrame(40, 30, 20, 0, 1);
  frame.Left = 10, frame.Top = 10;
  const TempFolder folder;
  WorkingBitmap bitmap;
  EXPECT_EQ(LoadBytes(folder, "s.gif", testing::GifBytes({80, 60, 0, {{0, 0, 0}, {255, 255, 255}}, {frame}}), bitmap),
            (PictureSize{60, 80}));
}

TEST(LoadPicture, GifRecordsAfterTheFirstFrameAreNeverRead) {
  const testing::GifFrame frame = testing::TwoIndexFrame(32, 32, 16, 0, 1);
  const std::string gif = testing::GifBytes({32, 32, 0, {{250, 250, 250}, {10, 10, 10}}, {frame, frame}});
  const std::string second = testing::GifBytes({32, 32, 0, {{250, 250, 250}, {10, 10, 10}}, {frame}});
  // The first frame whole, then the second frame's descriptor cut short.
  const std::string damaged = second.substr(0, second.size() - 1) + gif.substr(second.size() - 1, 12);
  const TempFolder folder;
  WorkingBitmap bitmap;
  EXPECT_EQ(LoadBytes(folder, "two.gif", damaged, bitmap), (PictureSize{32, 32}));
  EXPECT_TRUE(Near(At(bitmap, 10, 10), {250, 250, 250}, 6));
}

// ---- TIFF ----

TEST(LoadPicture, TiffColoursAreMultipliedByAlpha) {
  const Image image = testing::MakeImage(32, 32, 4, [](int x, int y) {
    const std::uint8_t alpha = x < 16 ? (y < 16 ? 0 : 128) : 255;
    return std::vector<std::uint8_t>{200, 100, 50, alpha};
  });
  const TempFolder folder;
  WorkingBitmap bitmap = StaleBitmap();
  EXPECT_EQ(LoadBytes(folder, "alpha.tiff", testing::TiffBytes(image), bitmap), (PictureSize{32, 32}));
  EXPECT_TRUE(Near(At(bitmap, 10, 10), {0, 0, 0}, 6));
  EXPECT_TRUE(Near(At(bitmap, 10, 118), {100, 50, 25}, 6));
  EXPECT_TRUE(Near(At(bitmap, 118, 64), {200, 100, 50}, 6));
}

// ---- orientation ----

// An Exif segment right after the start marker whose one entry is the Orientation tag.
std::string WithExifOrientation(const std::string& jpeg, std::uint16_t orientation) {
  const std::string entry = std::string("\x12\x01\x03\x00\x01\x00\x00\x00", 8) + static_cast<char>(orientation) +
                            std::string(3, '\0');
  const std::string exif = std::string("Exif\0\0II*\0\x08\0\0\0\x01\0", 16) + entry + std::string(4, '\0');
  const std::string segment = std::string("\xFF\xE1\0", 3) + static_cast<char>(exif.size() + 2) + exif;
  return jpeg.substr(0, 2) + segment + jpeg.substr(2);
}

TEST(LoadPicture, OrientationTagsLeaveThePixelsInTheirStoredOrder) {
  const Image image = QuadrantImage();  // no flip or turn maps it onto itself
  const std::string tiff = testing::TiffBytes(image), jpeg = testing::JpegBytes(image);
  struct Case {
    std::string Name;
    std::string Bytes;
    const std::string* Plain;
  };
  std::vector<Case> cases;
  for (std::uint16_t orientation = 1; orientation <= 8; ++orientation) {
    const std::string suffix = std::to_string(orientation);
    cases.push_back({"tagged " + suffix + ".tif", testing::TiffBytes(image, {.Orientation = orientation}), &tiff});
    cases.push_back({"exif " + suffix + ".jpg", WithExifOrientation(jpeg, orientation), &jpeg});
  }
  const TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    WorkingBitmap plain, tagged;
    LoadBytes(folder, "plain" + c.Name.substr(c.Name.rfind('.')), *c.Plain, plain);
    EXPECT_EQ(LoadBytes(folder, c.Name, c.Bytes, tagged), (PictureSize{48, 80}));
    EXPECT_TRUE(tagged.Pixels == plain.Pixels);
  }
}

// ---- BMP ----

TEST(LoadPicture, BmpHeadersDepthsAndCompressions) {
  constexpr Rgb Left{255, 0, 0}, Right{0, 255, 255};
  const Image colours = testing::TwoColour(32, 32, 16, Left, Right);
  const Image indices = testing::MakeImage(
      32, 32, 1, [](int x, int) { return std::vector<std::uint8_t>{static_cast<std::uint8_t>(x < 16 ? 1 : 0)}; });
  const std::vector<Rgb> palette{Right, Left};
  struct Case {
    const char* Name;
    const Image* Pixels;
    testing::BmpOptions Options;
  };
  const Case cases[] = {
      {"1 bit", &indices, {.BitCount = 1, .Palette = palette}},
      {"2 bits", &indices, {.BitCount = 2, .Palette = palette}},
      {"4 bits", &indices, {.BitCount = 4, .Palette = palette}},
      {"8 bits", &indices, {.BitCount = 8, .Palette = palette}},
      {"8 bits, core header", &indices, {.HeaderSize = 12, .BitCount = 8, .Palette = palette}},
      {"RLE8", &indices, {.BitCount = 8, .Compression = 1, .Palette = palette}},
      {"RLE4", &indices, {.BitCount = 4, .Compression = 2, .Palette = palette}},
      {"16 bits, 5-5-5", &colours, {.BitCount = 16}},
      {"16 bits, 5-6-5 bit fields", &colours, {.BitCount = 16, .Compression = 3, .Masks = {0xF800, 0x07E0, 0x001F}}},
      {"24 bits", &colours, {.BitCount = 24}},
      {"24 bits, top row first", &colours, {.BitCount = 24, .TopDown = true}},
      {"24 bits, core header", &colours, {.HeaderSize = 12, .BitCount = 24}},
      {"32 bits", &colours, {.BitCount = 32}},
      {"32 bits, V4 bit fields",
       &colours,
       {.HeaderSize = 108, .BitCount = 32, .Compression = 3, .Masks = {0x0000FF00, 0x00FF0000, 0xFF000000}}},
      {"32 bits, V5 bit fields with alpha",
       &colours,
       {.HeaderSize = 124,
        .BitCount = 32,
        .Compression = 3,
        .Masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}}},
  };
  const TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    WorkingBitmap bitmap = StaleBitmap();
    EXPECT_EQ(LoadBytes(folder, "b.bmp", testing::BmpBytes(*c.Pixels, c.Options), bitmap), (PictureSize{32, 32}));
    EXPECT_TRUE(Near(At(bitmap, 10, 10), Left, 8));
    EXPECT_TRUE(Near(At(bitmap, 118, 118), Right, 8));
  }
}

TEST(LoadPicture, BmpRleSkippedPixelsKeepTheFirstPaletteColour) {
  constexpr Rgb First{0, 0, 250}, Second{250, 250, 0};
  std::string bmp =
      testing::BmpBytes(testing::MakeImage(32, 32, 1, [](int, int) { return std::vector<std::uint8_t>{1}; }),
                        {.BitCount = 8, .Compression = 1, .Palette = {First, Second}});
  // The 16 bottom rows: a delta over the left half, 16 pixels of the second colour, end of
  // line. Then the end of the bitmap.
  std::string runs;
  for (int y = 0; y < 16; ++y) runs += std::string("\x00\x02\x10\x00\x10\x01\x00\x00", 8);
  bmp = bmp.substr(0, 14 + 40 + 8) + runs + std::string("\x00\x01", 2);
  const TempFolder folder;
  WorkingBitmap bitmap;
  LoadBytes(folder, "delta.bmp", bmp, bitmap);
  EXPECT_TRUE(Near(At(bitmap, 100, 120), Second, 8));  // written
  EXPECT_TRUE(Near(At(bitmap, 10, 120), First, 8));    // passed over by the delta
  EXPECT_TRUE(Near(At(bitmap, 100, 10), First, 8));    // after the end of the bitmap
}

TEST(LoadPicture, BmpSizeLimitsComeBeforeAnyPixelBuffer) {
  const std::string bmp = testing::BmpBytes(testing::TwoColour(4, 4, 2, {1, 2, 3}, {4, 5, 6}), {});
  struct Case {
    std::int32_t Width, Height;
    const char* Message;
  };
  const Case cases[] = {{20000, 12500, "incomplete"},
                        {20000, 12501, "too many pixels"},
                        {65501, 1, "side"},
                        {100000, 100000, "side"},
                        {0, 4, "empty"},
                        {-4, 4, "empty"}};
  const TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.Width) + " x " + std::to_string(c.Height));
    WorkingBitmap bitmap;
    try {
      LoadBytes(folder, "big.bmp", testing::WithBmpSize(bmp, c.Width, c.Height), bitmap);
      ADD_FAILURE() << "loaded";
    } catch (const PictureError& error) {
      EXPECT_NE(std::string(error.what()).find(c.Message), std::string::npos) << error.what();
    }
  }
}

// ---- camera raw ----

TEST(LoadPicture, CameraRawIsDecodedByContent) {
  const TempFolder folder;
  WorkingBitmap bitmap = StaleBitmap();
  const std::string raw = testing::ReadFileBytes(TESSIMAR_TEST_DATA "raw_sample.cr2");
  const std::string stripped = testing::ReadFileBytes(TESSIMAR_TEST_DATA "stripped.cr2");
  EXPECT_EQ(LoadBytes(folder, "raw.CR2", raw, bitmap), (PictureSize{2314, 3474}));
  EXPECT_NE(At(bitmap, 64, 64), (Rgb{0x5A, 0x5A, 0x5A}));
  EXPECT_THROW(LoadBytes(folder, "stripped.cr2", stripped, bitmap), PictureError);
}

// Cameras name raws and TIFFs alike, phones and sharing services write JPEGs named .heic, and
// web pages serve JPEGs and PNGs named .webp.
TEST(LoadPicture, FilesOfLooselyNamedTypesHoldingAnotherTypeLoadAsThatType) {
  const Image image = QuadrantImage();
  std::string gif87 = QuadrantGif();
  gif87.replace(0, 6, "GIF87a");
  struct Case {
    const char* Original;
    std::string Bytes;
  };
  const Case cases[] = {
      {"q.jpg", testing::JpegBytes(image)},
      {"q.png", testing::PngBytes(image)},
      {"q.gif", QuadrantGif()},
      {"q87.gif", gif87},
      {"q.bmp", testing::BmpBytes(image, {})},
      {"q.tif", testing::TiffBytes(image)},
      {"big-endian.tif", testing::TiffBytes(image, {.BigEndian = true})},
  };
  const TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Original);
    WorkingBitmap original = StaleBitmap();
    ASSERT_EQ(LoadBytes(folder, c.Original, c.Bytes, original), (PictureSize{48, 80}));
    for (const char* holder : {"camera.cr2", "phone.heic", "phone.avif", "web.webp"}) {
      SCOPED_TRACE(holder);
      WorkingBitmap loose;
      EXPECT_EQ(LoadBytes(folder, holder, c.Bytes, loose), (PictureSize{48, 80}));
      EXPECT_TRUE(loose.Pixels == original.Pixels);
    }
  }
}

// ---- broken files ----

struct BrokenCase {
  std::string Name;
  std::string Bytes;
};

std::vector<BrokenCase> BrokenFiles() {
  const Image image = QuadrantImage();
  const std::string jpeg = testing::JpegBytes(image), png = testing::PngBytes(image), gif = QuadrantGif();
  const std::string tiff = testing::TiffBytes(image), bmp = testing::BmpBytes(image, {}),
                    raw = testing::ReadFileBytes(TESSIMAR_TEST_DATA "raw_sample.cr2");
  const std::string heic = testing::HeifBytes(image), avif = testing::HeifBytes(image, {.Avif = true}),
                    webp = testing::WebpBytes(image), lossless = testing::WebpBytes(image, {.Lossless = true});
  std::vector<BrokenCase> cases;
  // Checked: the type notices damaged pixel data (JPEG only warns, BMP has nothing to notice).
  struct Type {
    const char* Extension;
    const std::string* Bytes;
    bool Checked;
  };
  const Type types[] = {{".jpg", &jpeg, false}, {".png", &png, true},  {".gif", &gif, true},
                        {".tif", &tiff, true},  {".bmp", &bmp, false}, {".cr2", &raw, true},
                        {".heic", &heic, true}, {".avif", &avif, true}, {".webp", &webp, true}};
  for (const auto& [extension, bytes, checked] : types) {
    cases.push_back({std::string("empty") + extension, ""});
    cases.push_back({std::string("header only") + extension, bytes->substr(0, 20)});
    cases.push_back({std::string("garbage") + extension, std::string(500, '\x7F')});
    // The header whole, the pixel data replaced by other bytes.
    std::string corrupt = *bytes;
    for (std::size_t i = corrupt.size() / 4; i < corrupt.size(); ++i) corrupt[i] = static_cast<char>(i * 37);
    if (checked) cases.push_back({std::string("corrupt") + extension, corrupt});
  }
  for (const std::size_t k : {png.size() / 2, png.size() - 20})
    cases.push_back({"truncated at " + std::to_string(k) + ".png", png.substr(0, k)});
  for (const std::size_t k : {gif.size() / 2, gif.size() - 2})
    cases.push_back({"truncated at " + std::to_string(k) + ".gif", gif.substr(0, k)});
  cases.push_back({"truncated.tif", tiff.substr(0, tiff.size() / 2)});
  cases.push_back({"truncated.bmp", bmp.substr(0, bmp.size() - 1)});
  for (const auto& [name, bytes] : {std::pair{"heic", &heic}, {"avif", &avif}, {"webp", &webp}, {"webp", &lossless}})
    for (const std::size_t k : {bytes->size() / 2, bytes->size() - 1})
      cases.push_back({"truncated at " + std::to_string(k) + "." + name, bytes->substr(0, k)});
  cases.push_back({"huge.jpg", testing::WithJpegSize(jpeg, 65535, 65535)});
  cases.push_back({"huge.png", testing::WithPngSize(png, 100000, 100000)});
  cases.push_back({"huge area.png", testing::WithPngSize(png, 20000, 20000)});
  cases.push_back({"huge area.gif", testing::WithGifSize(gif, 20000, 20000)});
  cases.push_back({"huge area.tif", testing::WithTiffSize(tiff, 20000, 20000)});
  cases.push_back({"huge.gif", testing::WithGifSize(gif, 65535, 65535)});
  cases.push_back({"huge.tif", testing::WithTiffSize(tiff, 100000, 100000)});
  cases.push_back({"huge.bmp", testing::WithBmpSize(bmp, 100000, 100000)});
  cases.push_back({"huge.cr2", testing::WithTiffSize(raw, 60000, 60000)});
  // Within the pixel limit, but far more pixels than its 13 KB could hold.
  cases.push_back({"huge raw in a small file.cr2", testing::WithTiffSize(raw, 15811, 15811)});
  // Within the pixel limit, but their decoding would cost far more than a small file may.
  cases.push_back({"huge area.heic", testing::WithHeifSize(heic, 12000, 12000)});
  cases.push_back({"huge area.avif", testing::WithHeifSize(avif, 12000, 12000)});
  cases.push_back({"huge area.webp", testing::WithWebpSize(webp, 12000, 12000)});
  cases.push_back({"huge area lossless.webp", testing::WithWebpSize(lossless, 12000, 12000)});
  cases.push_back({"huge.heic", testing::WithHeifSize(heic, 70000, 70000)});
  cases.push_back({"no frame.gif", testing::GifBytes({32, 32, 0, {{0, 0, 0}, {1, 1, 1}}, {}})});
  cases.push_back(
      {"no first directory.tif", tiff.substr(0, 4) + std::string("\xF0\xFF\x00\x00", 4) + tiff.substr(8, 100)});
  return cases;
}

TEST(LoadPicture, BrokenFilesFailCleanly) {
  const TempFolder folder;
  for (const BrokenCase& c : BrokenFiles()) {
    SCOPED_TRACE(c.Name);
    WorkingBitmap bitmap;
    EXPECT_THROW(LoadBytes(folder, c.Name, c.Bytes, bitmap), PictureError);
  }
}

// Read whole, such files would fill memory; the holes cost no disk.
TEST(LoadPicture, HugeSparseFilesFailWithoutBeingReadWhole) {
  constexpr off_t Size = off_t{64} << 30;
  const Image image = QuadrantImage();
  const std::string png = testing::PngBytes(image), tiff = testing::TiffBytes(image);
  struct Case {
    const char* Name;
    std::string Head;  // the bytes before the hole
  };
  const Case cases[] = {
      {"header.jpg", testing::JpegBytes(image).substr(0, 20)},
      {"zeros.jpg", ""},
      {"header.png", png.substr(0, 33)},
      {"zeros.png", ""},
      {"header.gif", QuadrantGif().substr(0, 13)},
      {"header.tif", tiff.substr(0, 8)},
      {"zeros.bmp", ""},
      {"zeros.cr2", ""},
      {"header.heic", testing::HeifBytes(image).substr(0, 40)},
      {"zeros.heic", ""},
      {"header.webp", testing::WebpBytes(image).substr(0, 30)},
  };
  const TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string path = folder.Write(c.Name, c.Head);
    ASSERT_EQ(::truncate(path.c_str(), Size), 0);
    WorkingBitmap bitmap;
    EXPECT_THROW(LoadPicture(path, bitmap), PictureError);
    EXPECT_THROW(PictureAsJpeg(path), PictureError);
    std::filesystem::remove(path);
  }
}

// Zeros read as ends of lines, so the runs end within the picture's rows, long before the hole does.
TEST(LoadPicture, RleBmpBeforeAHugeHoleReadsOnlyWhatItsRunsCanUse) {
  constexpr Rgb First{0, 0, 250}, Second{250, 250, 0};
  const std::string bmp =
      testing::BmpBytes(testing::MakeImage(32, 32, 1, [](int, int) { return std::vector<std::uint8_t>{1}; }),
                        {.BitCount = 8, .Compression = 1, .Palette = {First, Second}});
  std::string runs;  // the 16 bottom rows: 32 pixels of the second colour, end of line
  for (int y = 0; y < 16; ++y) runs += std::string("\x20\x01\x00\x00", 4);
  const TempFolder folder;
  const std::string path = folder.Write("hole.bmp", bmp.substr(0, 14 + 40 + 8) + runs);
  ASSERT_EQ(::truncate(path.c_str(), off_t{64} << 30), 0);
  WorkingBitmap bitmap;
  EXPECT_EQ(LoadPicture(path, bitmap), (PictureSize{32, 32}));
  EXPECT_TRUE(Near(At(bitmap, 10, 120), Second, 8));
  EXPECT_TRUE(Near(At(bitmap, 10, 10), First, 8));
}

TEST(LoadPicture, SomethingOtherThanAFileFailsWithoutBlocking) {
  const TempFolder folder;
  for (const char* extension : {".jpg", ".png", ".gif", ".tif", ".bmp", ".cr2", ".heic", ".avif", ".webp"}) {
    SCOPED_TRACE(extension);
    const std::string fifo = folder / (std::string("fifo") + extension);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string name[] = {folder.MakeFolder(std::string("folder") + extension), fifo,
                                folder / (std::string("gone") + extension)};
    for (const std::string& path : name) {
      WorkingBitmap bitmap;
      EXPECT_THROW(LoadPicture(path, bitmap), PictureError) << path;
    }
  }
}

}  // namespace
}  // namespace tessimar
