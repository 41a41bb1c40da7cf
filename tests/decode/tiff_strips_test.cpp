#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "byte_order.h"
#include "decode/file_reading.h"
#include "decode/picture_error.h"
#include "decode/row_sink.h"
#include "decode/tiff_decoder.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

using testing::LittleEndian;
using testing::TempFolder;

class CountingSink : public RowSink {
 public:
  void Begin(std::int32_t width, std::int32_t height) override { Width = width, Height = height; }
  void Row(std::int32_t, const std::uint8_t* rgb) override { ++Rows, Grey = rgb[0]; }
  std::int32_t Width = 0, Height = 0, Rows = 0;
  std::uint8_t Grey = 0;
};

// Where each strip of an uncompressed 8-bit grey picture lies: Present puts it in the
// file, after the directory; otherwise Offset and Bytes are written as they stand.
struct Strile {
  bool Present = true;
  std::uint32_t Offset = 0, Bytes = 0;
};

// A little-endian TIFF of grey 200 pixels in strips of unit rows.
std::string GreyTiff(std::uint32_t width, std::uint32_t height, std::uint32_t unit, std::vector<Strile> striles) {
  const auto n = static_cast<std::uint32_t>(striles.size());
  const std::uint32_t tags = 9, arrays = 8 + 2 + 12 * tags + 4, data = arrays + 8 * n;
  const std::uint32_t unitBytes = width * unit;
  std::string pixels;
  for (Strile& s : striles) {
    if (!s.Present) continue;
    s.Offset = data + static_cast<std::uint32_t>(pixels.size()), s.Bytes = unitBytes;
    pixels += std::string(unitBytes, static_cast<char>(200));
  }
  std::string offsets, counts;
  for (const Strile& s : striles) offsets += LittleEndian(s.Offset, 4), counts += LittleEndian(s.Bytes, 4);
  const auto tag = [](std::uint16_t id, std::uint16_t type, std::uint32_t count, std::uint32_t value) {
    return LittleEndian(id, 2) + LittleEndian(type, 2) + LittleEndian(count, 4) + LittleEndian(value, 4);
  };
  std::string ifd = LittleEndian(tags, 2) + tag(256, 4, 1, width) + tag(257, 4, 1, height) + tag(258, 3, 1, 8) +
                    tag(259, 3, 1, 1) + tag(262, 3, 1, 1) + tag(273, 4, n, arrays) + tag(277, 3, 1, 1) +
                    tag(278, 4, 1, unit) + tag(279, 4, n, arrays + 4 * n);
  return "II*" + std::string(1, '\0') + LittleEndian(8, 4) + ifd + LittleEndian(0, 4) + offsets + counts + pixels;
}

std::vector<Strile> AllPresent(int n) { return std::vector<Strile>(static_cast<std::size_t>(n)); }

std::vector<Strile> WithLast(int n, Strile last) {
  std::vector<Strile> striles = AllPresent(n);
  striles.back() = last;
  return striles;
}

enum class Outcome { Loads, FailsBeforeAnyRow };

// Strips that start past the end of the file fail before any row, even where the rows before
// them decode. Present ones still load, and so do those libtiff reads today: a strip of no bytes
// (as zeros) and a last strip whose count runs past the end but whose row is there.
TEST(TiffStrips, MissingDataFailsBeforeAnyRow) {
  struct Case {
    const char* Name;
    std::uint32_t Width, Height, Unit;
    std::vector<Strile> Striles;
    Outcome Expected;
    std::uint8_t LastRowGrey = 0;
  };
  const Case cases[] = {
      {"one-row strips, all there", 8, 100, 1, AllPresent(100), Outcome::Loads, 200},
      {"last strip starts past the end", 8, 100, 1, WithLast(100, {false, 100000, 8}), Outcome::FailsBeforeAnyRow},
      {"last strip's count runs past the end", 8, 100, 1, WithLast(100, {false, 1700, 800}), Outcome::Loads, 200},
      {"first strip past the end, announced huge", 15000, 15000, 15000, {{false, 1 << 30, 1 << 30}},
       Outcome::FailsBeforeAnyRow},
      {"strip of no bytes", 8, 100, 1, WithLast(100, {false, 900, 0}), Outcome::Loads, 0},
  };
  const TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    CountingSink sink;
    const std::string file = folder.Write("s.tif", GreyTiff(c.Width, c.Height, c.Unit, c.Striles));
    if (c.Expected != Outcome::Loads) {
      EXPECT_THROW(DecodeTiff(OpenedFile(file), sink), PictureError);
      EXPECT_EQ(sink.Rows, 0);
      continue;
    }
    DecodeTiff(OpenedFile(file), sink);
    EXPECT_EQ(sink.Rows, static_cast<std::int32_t>(c.Height));
    EXPECT_EQ(sink.Grey, c.LastRowGrey);
  }
}

// A deflated 4100 x 4100 picture, all zeros or all noise: grey in square tiles of side Tile,
// or without tiles in a single strip, grey or subsampled YCbCr.
struct LargeLayout {
  const char* Name;
  std::uint32_t Tile;  // 0: one strip
  bool YCbCr, Noise;
  Outcome Expected;
};

void WriteLarge(const std::string& path, const LargeLayout& layout) {
  constexpr std::uint32_t Side = 4100;
  TIFF* tiff = TIFFOpen(path.c_str(), "w");
  ASSERT_NE(tiff, nullptr);
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, Side);
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, Side);
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, layout.YCbCr ? 3 : 1);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, layout.YCbCr ? PHOTOMETRIC_YCBCR : PHOTOMETRIC_MINISBLACK);
  if (layout.YCbCr) TIFFSetField(tiff, TIFFTAG_YCBCRSUBSAMPLING, 2, 2);
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
  if (layout.Tile != 0) {
    TIFFSetField(tiff, TIFFTAG_TILEWIDTH, layout.Tile);
    TIFFSetField(tiff, TIFFTAG_TILELENGTH, layout.Tile);
  } else {
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, Side);
  }
  const bool tiled = layout.Tile != 0;
  std::vector<std::uint8_t> samples(static_cast<std::size_t>(tiled ? TIFFTileSize64(tiff) : TIFFStripSize64(tiff)));
  std::mt19937 random(1);
  for (std::uint32_t i = 0; i < (tiled ? TIFFNumberOfTiles(tiff) : 1); ++i) {
    if (layout.Noise) {
      for (std::uint8_t& sample : samples) sample = static_cast<std::uint8_t>(random());
    }
    const auto bytes = static_cast<tmsize_t>(samples.size());
    tiled ? TIFFWriteEncodedTile(tiff, i, samples.data(), bytes) : TIFFWriteEncodedStrip(tiff, i, samples.data(), bytes);
  }
  TIFFClose(tiff);
}

// Reading a band of one tile of 4112 x 4112, or of one YCbCr strip, whole takes some 80 MB, so
// the data must hold a 256th of that. Usual tiles, and strips read a row at a time, are read
// whatever they hold.
TEST(TiffStrips, LargeBandsMustHoldDataForTheirSize) {
  const LargeLayout cases[] = {
      {"one tile of zeros", 4112, false, false, Outcome::FailsBeforeAnyRow},
      {"one tile of noise", 4112, false, true, Outcome::Loads},
      {"small tiles of zeros", 256, false, false, Outcome::Loads},
      {"one YCbCr strip of zeros", 0, true, false, Outcome::FailsBeforeAnyRow},
      {"one grey strip of zeros", 0, false, false, Outcome::Loads},
  };
  const TempFolder folder;
  for (const LargeLayout& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string path = folder / "large.tif";
    WriteLarge(path, c);
    CountingSink sink;
    if (c.Expected != Outcome::Loads) {
      EXPECT_THROW(DecodeTiff(OpenedFile(path), sink), PictureError);
      EXPECT_EQ(sink.Rows, 0);
      continue;
    }
    DecodeTiff(OpenedFile(path), sink);
    EXPECT_EQ(sink.Rows, 4100);
  }
}

}  // namespace
}  // namespace tessimar
