#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "decode/file_reading.h"
#include "decode/picture_error.h"
#include "decode/png_decoder.h"
#include "decode/row_sink.h"
#include "picture_fixtures.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

using testing::TempFolder;

struct Format {
  const char* Name;
  int ColorType, BitDepth, Channels;
};

// Rows kept, repeated, or read in step by other readers: flat pictures are kept whole, noise
// is mostly read in step, and a flat top over noise keeps part of the sixth pass.
enum class Content { Noise, Flat, FlatTopOverNoise };

class KeepingSink : public RowSink {
 public:
  void Begin(std::int32_t width, std::int32_t height) override { Width = width, Height = height; }
  void Row(std::int32_t y, const std::uint8_t* rgb) override {
    EXPECT_EQ(y, Rows.size() / (static_cast<std::size_t>(Width) * 3)) << "rows out of order";
    Rows.insert(Rows.end(), rgb, rgb + static_cast<std::size_t>(Width) * 3);
  }
  std::int32_t Width = 0, Height = 0;
  std::vector<std::uint8_t> Rows;
};

// Samples packed as PNG stores them, most significant bits first.
std::vector<std::uint8_t> PackedRows(const Format& format, int width, int height, Content content,
                                     std::mt19937& random) {
  const int bits = format.BitDepth, perRow = (width * format.Channels * bits + 7) / 8;
  std::vector<std::uint8_t> rows(static_cast<std::size_t>(perRow) * height);
  for (int y = 0; y < height; ++y) {
    const bool flat = content == Content::Flat || (content == Content::FlatTopOverNoise && y < height / 2);
    for (int s = 0; s < width * format.Channels; ++s) {
      const unsigned value = flat ? 0x5A5Au : random();
      std::uint8_t* at = &rows[static_cast<std::size_t>(y) * perRow];
      if (bits == 16) {
        at[2 * s] = value >> 8 & 0xFF, at[2 * s + 1] = value & 0xFF;
      } else {
        const int shift = 8 - bits - (s * bits) % 8;
        at[s * bits / 8] |= static_cast<std::uint8_t>((value & ((1u << bits) - 1)) << shift);
      }
    }
  }
  return rows;
}

std::string Encode(const Format& format, int width, int height, const std::vector<std::uint8_t>& rows,
                   bool interlaced) {
  testing::PngOptions options{.ColorType = format.ColorType, .BitDepth = format.BitDepth, .Interlaced = interlaced};
  if (format.ColorType == PNG_COLOR_TYPE_PALETTE) {
    for (int i = 0; i < 1 << format.BitDepth; ++i) {
      options.Palette.push_back({static_cast<std::uint8_t>(i * 37), static_cast<std::uint8_t>(255 - i),
                                 static_cast<std::uint8_t>(i * 11)});
    }
    options.PaletteAlpha = {0, 128, 255, 40};
  }
  return testing::PngBytes(width, height, rows, options);
}

KeepingSink Decode(const TempFolder& folder, const std::string& bytes) {
  const OpenedFile file(folder.Write("p.png", bytes));
  KeepingSink sink;
  DecodePng(file, sink);
  return sink;
}

TEST(InterlacedPng, RowsEqualThoseOfTheSamePictureStoredInOrder) {
  const Format formats[] = {
      {"RGB", PNG_COLOR_TYPE_RGB, 8, 3},          {"RGBA", PNG_COLOR_TYPE_RGB_ALPHA, 8, 4},
      {"RGB 16", PNG_COLOR_TYPE_RGB, 16, 3},      {"RGBA 16", PNG_COLOR_TYPE_RGB_ALPHA, 16, 4},
      {"gray 1", PNG_COLOR_TYPE_GRAY, 1, 1},      {"gray 4", PNG_COLOR_TYPE_GRAY, 4, 1},
      {"gray 16", PNG_COLOR_TYPE_GRAY, 16, 1},    {"gray alpha", PNG_COLOR_TYPE_GRAY_ALPHA, 8, 2},
      {"palette 2", PNG_COLOR_TYPE_PALETTE, 2, 1}, {"palette 8", PNG_COLOR_TYPE_PALETTE, 8, 1},
  };
  // Sides below 8 leave passes without pixels, which libpng skips.
  const int sizes[][2] = {{1, 1}, {1, 9}, {9, 1}, {2, 3}, {5, 5}, {8, 8}, {9, 17}, {33, 40}, {64, 64}};
  const TempFolder folder;
  std::mt19937 random(7);
  for (const Format& format : formats) {
    for (const auto& [width, height] : sizes) {
      for (const Content content : {Content::Noise, Content::Flat, Content::FlatTopOverNoise}) {
        SCOPED_TRACE(::testing::Message() << format.Name << ", " << width << " x " << height << ", content "
                                          << static_cast<int>(content));
        const std::vector<std::uint8_t> rows = PackedRows(format, width, height, content, random);
        const KeepingSink expected = Decode(folder, Encode(format, width, height, rows, false));
        const KeepingSink interlaced = Decode(folder, Encode(format, width, height, rows, true));
        EXPECT_EQ(interlaced.Width, width);
        EXPECT_EQ(interlaced.Height, height);
        ASSERT_EQ(interlaced.Rows, expected.Rows);
      }
    }
  }
}

TEST(InterlacedPng, FileCutInAnyPassFails) {
  const Format rgb{"RGB", PNG_COLOR_TYPE_RGB, 8, 3};
  std::mt19937 random(3);
  const std::string whole = Encode(rgb, 64, 64, PackedRows(rgb, 64, 64, Content::Noise, random), true);
  const TempFolder folder;
  // Noise hardly compresses, so the cuts fall in the early passes, the sixth and the seventh.
  for (const double at : {0.05, 0.2, 0.4, 0.6, 0.9, 0.99}) {
    SCOPED_TRACE(at);
    const std::string cut = whole.substr(0, static_cast<std::size_t>(static_cast<double>(whole.size()) * at));
    EXPECT_THROW(Decode(folder, cut), PictureError);
  }
}

}  // namespace
}  // namespace tessimar
