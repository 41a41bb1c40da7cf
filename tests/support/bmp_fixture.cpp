#include <bit>

#include "byte_order.h"
#include "picture_fixtures.h"

namespace tessimar::testing {
namespace {

constexpr std::uint32_t Rle8 = 1, Rle4 = 2;

std::uint32_t Pack(std::uint8_t sample, std::uint32_t mask) {
  const int shift = std::countr_zero(mask);
  const std::uint32_t top = mask >> shift;
  return (sample * top + 127) / 255 << shift;
}

std::vector<std::uint32_t> MasksOf(const BmpOptions& options) {
  if (!options.Masks.empty()) return options.Masks;
  if (options.BitCount == 16) return {0x7C00, 0x03E0, 0x001F};
  return {0xFF0000, 0x00FF00, 0x0000FF};
}

std::string PixelRow(const Image& image, int y, const BmpOptions& options) {
  std::string row;
  const std::uint8_t* p = image.Samples.data() + static_cast<std::size_t>(y) * image.Width * image.Channels;
  if (options.BitCount <= 8) {
    std::uint32_t bits = 0, count = 0;
    for (int x = 0; x < image.Width; ++x) {
      bits = bits << options.BitCount | p[x * image.Channels];
      if ((count += options.BitCount) == 8) row += LittleEndian(bits, 1), bits = 0, count = 0;
    }
    if (count > 0) row += LittleEndian(bits << (8 - count), 1);
  } else {
    const std::vector<std::uint32_t> masks = MasksOf(options);
    for (int x = 0; x < image.Width; ++x, p += 3) {
      if (options.BitCount == 24)
        row += LittleEndian(p[2] | p[1] << 8 | p[0] << 16, 3);
      else
        row += LittleEndian(Pack(p[0], masks[0]) | Pack(p[1], masks[1]) | Pack(p[2], masks[2]), options.BitCount / 8);
    }
  }
  while (row.size() % 4 != 0) row.push_back('\0');
  return row;
}

// One absolute run of the row's first half, one encoded run of its second, then end of line.
std::string RleRow(const Image& image, int y, bool rle4) {
  const std::uint8_t* p = image.Samples.data() + static_cast<std::size_t>(y) * image.Width * image.Channels;
  const int half = image.Width / 2;
  std::string out;
  out += LittleEndian(0, 1) + LittleEndian(static_cast<std::uint32_t>(half), 1);
  std::string literal;
  for (int x = 0; x < half; ++x) {
    const std::uint8_t index = p[x * image.Channels];
    if (!rle4)
      literal.push_back(static_cast<char>(index));
    else if (x % 2 == 0)
      literal.push_back(static_cast<char>(index << 4));
    else
      literal.back() = static_cast<char>(literal.back() | index);
  }
  if (literal.size() % 2 != 0) literal.push_back('\0');
  out += literal;
  const std::uint8_t right = p[half * image.Channels];
  out += LittleEndian(static_cast<std::uint32_t>(image.Width - half), 1);
  out += LittleEndian(rle4 ? (right << 4 | right) : right, 1);
  out += LittleEndian(0, 2);
  return out;
}

std::string PixelData(const Image& image, const BmpOptions& options) {
  std::string data;
  const bool rle = options.Compression == Rle8 || options.Compression == Rle4;
  for (int i = 0; i < image.Height; ++i) {
    const int y = options.TopDown ? i : image.Height - 1 - i;
    data += rle ? RleRow(image, y, options.Compression == Rle4) : PixelRow(image, y, options);
  }
  if (rle) data += LittleEndian(0x0100, 2);  // end of bitmap
  return data;
}

std::string InfoHeader(const Image& image, const BmpOptions& options, std::size_t imageSize) {
  std::string header;
  header += LittleEndian(static_cast<std::uint32_t>(options.HeaderSize), 4);
  header += LittleEndian(static_cast<std::uint32_t>(image.Width), 4);
  header += LittleEndian(static_cast<std::uint32_t>(options.TopDown ? -image.Height : image.Height), 4);
  header += LittleEndian(1, 2) + LittleEndian(static_cast<std::uint32_t>(options.BitCount), 2);
  header += LittleEndian(options.Compression, 4) + LittleEndian(static_cast<std::uint32_t>(imageSize), 4);
  header += LittleEndian(2835, 4) + LittleEndian(2835, 4);
  header += LittleEndian(static_cast<std::uint32_t>(options.Palette.size()), 4) + LittleEndian(0, 4);
  for (const std::uint32_t mask : options.Masks) header += LittleEndian(mask, 4);
  if (options.HeaderSize > 40) header.resize(static_cast<std::size_t>(options.HeaderSize), '\0');
  return header;
}

std::string CoreHeader(const Image& image, const BmpOptions& options) {
  std::string header;
  header += LittleEndian(12, 4) + LittleEndian(static_cast<std::uint32_t>(image.Width), 2);
  header += LittleEndian(static_cast<std::uint32_t>(image.Height), 2) + LittleEndian(1, 2);
  header += LittleEndian(static_cast<std::uint32_t>(options.BitCount), 2);
  return header;
}

}  // namespace

std::string BmpBytes(const Image& pixels, const BmpOptions& options) {
  const std::string data = PixelData(pixels, options);
  std::string header = options.HeaderSize == 12 ? CoreHeader(pixels, options) : InfoHeader(pixels, options, data.size());
  for (const Rgb& c : options.Palette) header += LittleEndian(c.B | c.G << 8 | c.R << 16, options.HeaderSize == 12 ? 3 : 4);
  std::string file = "BM";
  file += LittleEndian(static_cast<std::uint32_t>(14 + header.size() + data.size()), 4);
  file += LittleEndian(0, 4) + LittleEndian(static_cast<std::uint32_t>(14 + header.size()), 4);
  return file + header + data;
}

}  // namespace tessimar::testing
