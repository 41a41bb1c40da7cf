#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdint>
#include <string>
#include <vector>

#include "decode/file_reading.h"
#include "decode/row_sink.h"
#include "decode/tiff_decoder.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

using testing::TempFolder;

// Pictures whose bands of whole strips would pass 64 MB: a single strip of 4100 rows.
constexpr std::uint32_t Side = 4100;

class KeepingSink : public RowSink {
 public:
  void Begin(std::int32_t, std::int32_t) override {}
  void Row(std::int32_t, const std::uint8_t* rgb) override { Rows.insert(Rows.end(), rgb, rgb + Side * 3); }
  std::vector<std::uint8_t> Rows;
};

struct Layout {
  const char* Name;
  std::uint16_t Bits, Samples, Photometric;
  bool Alpha = false;
};

// A deflated picture of a pattern every sample of which differs from its neighbours.
void WriteTiff(const std::string& path, const Layout& layout, std::uint32_t rowsPerStrip) {
  TIFF* tiff = TIFFOpen(path.c_str(), "w");
  ASSERT_NE(tiff, nullptr);
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, Side);
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, Side);
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, layout.Bits);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, layout.Samples);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, layout.Photometric);
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
  TIFFSetField(tiff, TIFFTAG_ZIPQUALITY, 1);
  TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
  if (layout.Alpha) {
    const std::uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
    TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, extra);
  }
  if (layout.Photometric == PHOTOMETRIC_PALETTE) {
    std::vector<std::uint16_t> red(1u << layout.Bits), green(red.size()), blue(red.size());
    for (std::size_t i = 0; i < red.size(); ++i) red[i] = i * 4099, green[i] = 65535 - i * 257, blue[i] = i * 40000;
    TIFFSetField(tiff, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
  }
  std::vector<std::uint8_t> row(static_cast<std::size_t>(TIFFScanlineSize64(tiff)));
  for (std::uint32_t y = 0; y < Side; ++y) {
    for (std::size_t i = 0; i < row.size(); ++i) row[i] = static_cast<std::uint8_t>(i * 7 + y * 13 + (i * y) % 11);
    ASSERT_EQ(TIFFWriteScanline(tiff, row.data(), y, 0), 1);
  }
  TIFFClose(tiff);
}

std::vector<std::uint8_t> DecodedRows(const std::string& path) {
  KeepingSink sink;
  DecodeTiff(OpenedFile(path), sink);
  return sink.Rows;
}

// A picture of tall strips is read a row at a time; its rows must be those the band reader
// gives for the same samples in short strips.
TEST(TiffRows, TallStripsGiveTheRowsOfShortOnes) {
  const Layout layouts[] = {
      {"rgb with alpha", 8, 4, PHOTOMETRIC_RGB, true},
      {"16-bit grey", 16, 1, PHOTOMETRIC_MINISBLACK},
      {"4-bit palette", 4, 1, PHOTOMETRIC_PALETTE},
      {"1-bit white is zero", 1, 1, PHOTOMETRIC_MINISWHITE},
  };
  const TempFolder folder;
  for (const Layout& layout : layouts) {
    SCOPED_TRACE(layout.Name);
    WriteTiff(folder / "tall.tif", layout, Side);
    WriteTiff(folder / "short.tif", layout, 16);
    const std::vector<std::uint8_t> tall = DecodedRows(folder / "tall.tif");
    ASSERT_EQ(tall.size(), std::size_t{Side} * Side * 3);
    EXPECT_TRUE(tall == DecodedRows(folder / "short.tif"));
  }
}

}  // namespace
}  // namespace tessimar
