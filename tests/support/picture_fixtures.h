// Small pictures of every type, encoded by the tests themselves, good or deliberately broken.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>  // before jpeglib.h, which uses size_t and FILE without declaring them
#include <functional>
#include <string>
#include <vector>

#include <gif_lib.h>
#include <jpeglib.h>

namespace tessimar::testing {

struct Rgb {
  std::uint8_t R = 0, G = 0, B = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Pixels as interleaved samples, Channels bytes a pixel, top row first.
struct Image {
  int Width = 0;
  int Height = 0;
  int Channels = 3;
  std::vector<std::uint8_t> Samples{};
};

// An image whose pixel (x, y) has the samples sample(x, y) returns.
Image MakeImage(int width, int height, int channels, const std::function<std::vector<std::uint8_t>(int, int)>& sample);
// An RGB image of left colour for x < boundary and right colour from there on.
Image TwoColour(int width, int height, int boundary, Rgb left, Rgb right);

// JPEG of 1 (gray), 3 (RGB) or 4 (CMYK) channels. Stored lets a CMYK image be kept as YCCK;
// AdobeMarker false leaves out the segment that marks CMYK as inverted.
struct JpegOptions {
  int Quality = 95;
  J_COLOR_SPACE Stored = JCS_UNKNOWN;  // unknown: libjpeg's choice for the input
  bool AdobeMarker = true;
  bool Progressive = false;
  std::vector<jpeg_scan_info> Scans{};  // a scan script of its own, when not empty
};
std::string JpegBytes(const Image& image, const JpegOptions& options = {});

// PNG from rows already in PNG layout (packed below 8 bits, 16-bit samples big-endian).
struct PngOptions {
  int ColorType = 2;  // PNG_COLOR_TYPE_RGB
  int BitDepth = 8;
  std::vector<Rgb> Palette{};
  std::vector<std::uint8_t> PaletteAlpha{};        // tRNS for a palette
  std::vector<std::uint16_t> TransparentColour{};  // tRNS for gray (1 value) or RGB (3 values)
  bool Interlaced = false;
  double Gamma = 0;  // 0: no gAMA chunk
};
std::string PngBytes(int width, int height, const std::vector<std::uint8_t>& rows, const PngOptions& options);
std::string PngBytes(const Image& image);  // 8-bit RGB (3 channels) or RGBA (4 channels)

struct GifFrame {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  bool Interlaced = false;
  std::vector<Rgb> LocalColours{};
  std::vector<std::uint8_t> Indices{};  // Width x Height, top row first
  int Transparent = NO_TRANSPARENT_COLOR;
};
struct GifOptions {
  int ScreenWidth = 0, ScreenHeight = 0;
  int Background = 0;
  std::vector<Rgb> GlobalColours{};  // empty: none
  std::vector<GifFrame> Frames{};
};
std::string GifBytes(const GifOptions& options);
// A frame covering the screen at (0, 0) in two colour indices split at column boundary.
GifFrame TwoIndexFrame(int width, int height, int boundary, std::uint8_t left, std::uint8_t right);

// TIFF of an RGB image, or RGBA with unassociated alpha, its rows stored top row first
// whatever the Orientation tag (1 to 8) says.
struct TiffOptions {
  std::uint16_t Orientation = 1;
  bool BigEndian = false;
};
std::string TiffBytes(const Image& image, const TiffOptions& options = {});

// A bitmap file written by hand: HeaderSize 12, 40, 108 or 124; Compression as stored.
struct BmpOptions {
  int HeaderSize = 40;
  int BitCount = 24;
  std::uint32_t Compression = 0;
  std::vector<std::uint32_t> Masks{};  // written after a 40-byte header, inside later ones
  std::vector<Rgb> Palette{};
  bool TopDown = false;
};
// Pixels: RGB for 16 to 32 bits (packed by the masks, or 5-5-5 and 8-8-8 by default),
// palette indices in channel 0 otherwise; RLE8/RLE4 write each row as one absolute run of
// its first half and one encoded run of its second half.
std::string BmpBytes(const Image& pixels, const BmpOptions& options);

// Camera sensor samples of 12 bits under a red-green / green-blue colour filter, top row first.
struct RawSensor {
  int Width = 0, Height = 0;
  std::vector<std::uint16_t> Samples{};
};
// Samples with structure across and down, unlike any uniform fill; shift moves the pattern.
RawSensor StructuredSensor(int width, int height, int shift = 0);
// A camera raw (DNG) holding the sensor in one lossless JPEG strip whose frame codes the
// first codedRows rows: fewer than Height leave the rest of the picture without data.
std::string DngBytes(const RawSensor& sensor, int codedRows);

// HEIF by libheif's own encoders: HEIC (x265) or AVIF (AOM) of an RGB (3 channels) or RGBA
// (4 channels) image, at BitDepth 8, or 10 or 12 from the samples scaled up. Orientation, as
// EXIF's tag numbers it (1 to 8), is written as the rotation and mirror properties that turn
// the coded image into the picture shown.
struct HeifOptions {
  bool Avif = false;
  int Quality = 80;
  int BitDepth = 8;
  int Orientation = 1;
};
std::string HeifBytes(const Image& image, const HeifOptions& options = {});
// A grid HEIC as phones write it: the 64 x 64 RGB tiles, each encoded by libheif, in rows of
// columns, shown as one picture of width x height (at most the tiles' area, cropped on the
// right and at the bottom).
std::string HeifGridBytes(const std::vector<Image>& tiles, int columns, int width, int height);

// WebP of an RGB or RGBA image by libwebp.
struct WebpOptions {
  int Quality = 80;
  bool Lossless = false;
};
std::string WebpBytes(const Image& image, const WebpOptions& options = {});
// A lossless animation of RGBA frames of one size, 100 ms each.
std::string AnimatedWebpBytes(const std::vector<Image>& frames);

// The same file with the size its header announces replaced by width x height.
std::string WithJpegSize(std::string jpeg, int width, int height);
std::string WithPngSize(std::string png, std::uint32_t width, std::uint32_t height);
std::string WithGifSize(std::string gif, int width, int height);                        // screen and first frame
std::string WithTiffSize(std::string tiff, std::uint32_t width, std::uint32_t height);  // sub-directories too
std::string WithBmpSize(std::string bmp, std::int32_t width, std::int32_t height);
std::string WithHeifSize(std::string heif, std::uint32_t width, std::uint32_t height);  // every ispe box
std::string WithWebpSize(std::string webp, std::uint32_t width, std::uint32_t height);  // simple lossy or lossless

}  // namespace tessimar::testing
