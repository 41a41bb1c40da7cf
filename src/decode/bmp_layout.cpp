#include "decode/bmp_layout.h"

#include <string>

#include "decode/picture_error.h"

namespace tessimar {
namespace {

constexpr std::size_t FileHeaderSize = 14;
constexpr std::uint32_t CoreHeaderSize = 12;
constexpr std::uint32_t InfoHeaderSize = 40;

bool IsInfoFamily(std::uint32_t size) { return size == 40 || size == 52 || size == 56 || size == 108 || size == 124; }

bool HasBitFields(BmpCompression c) { return c == BmpCompression::BitFields || c == BmpCompression::AlphaBitFields; }

void ReadCoreHeader(std::span<const std::uint8_t> file, BmpLayout& layout) {
  layout.Width = ReadLittleEndian(file, FileHeaderSize + 4, 2);
  layout.Height = ReadLittleEndian(file, FileHeaderSize + 6, 2);
  layout.BitCount = static_cast<int>(ReadLittleEndian(file, FileHeaderSize + 10, 2));
}

// Returns the number of colour-table entries the header asks for (0: as many as the bit count allows).
std::uint32_t ReadInfoHeader(std::span<const std::uint8_t> file, BmpLayout& layout) {
  layout.Width = static_cast<std::int32_t>(ReadLittleEndian(file, FileHeaderSize + 4, 4));
  const std::int64_t height = static_cast<std::int32_t>(ReadLittleEndian(file, FileHeaderSize + 8, 4));
  layout.TopDown = height < 0;
  layout.Height = height < 0 ? -height : height;
  layout.BitCount = static_cast<int>(ReadLittleEndian(file, FileHeaderSize + 14, 2));
  layout.Compression = static_cast<BmpCompression>(ReadLittleEndian(file, FileHeaderSize + 16, 4));
  if (HasBitFields(layout.Compression)) {
    // An info header carries its masks after itself; the later headers inside.
    for (std::size_t i = 0; i < 3; ++i)
      layout.Masks[i] = ReadLittleEndian(file, FileHeaderSize + InfoHeaderSize + 4 * i, 4);
  }
  return ReadLittleEndian(file, FileHeaderSize + 32, 4);
}

void SetDefaultMasks(BmpLayout& layout) {
  if (layout.BitCount == 16) layout.Masks = {0x7C00, 0x03E0, 0x001F};
  if (layout.BitCount == 32) layout.Masks = {0xFF0000, 0x00FF00, 0x0000FF};
}

void Check(bool condition, const char* what) {
  if (!condition) throw PictureError(std::string("BMP: ") + what);
}

void CheckFormat(const BmpLayout& layout) {
  const int bits = layout.BitCount;
  Check(bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32,
        "unsupported bits per pixel");
  switch (layout.Compression) {
    case BmpCompression::None:
      return;
    case BmpCompression::Rle8:
      Check(bits == 8 && !layout.TopDown, "bad RLE8 picture");
      return;
    case BmpCompression::Rle4:
      Check(bits == 4 && !layout.TopDown, "bad RLE4 picture");
      return;
    case BmpCompression::BitFields:
    case BmpCompression::AlphaBitFields:
      Check(bits == 16 || bits == 32, "bit fields need 16 or 32 bits a pixel");
      return;
  }
  Check(false, "unsupported compression");
}

void ReadPalette(std::span<const std::uint8_t> file, std::size_t offset, std::size_t entrySize, std::uint32_t count,
                 BmpLayout& layout) {
  const std::uint32_t most = 1u << layout.BitCount;
  if (count == 0 || count > most) count = most;
  for (std::uint32_t i = 0; i < count; ++i, offset += entrySize) {
    // Stored blue, green, red: read as one little-endian number, that is 0xRRGGBB.
    const std::uint32_t rgb = ReadLittleEndian(file, offset, 2) | ReadLittleEndian(file, offset + 2, 1) << 16;
    layout.Palette.push_back(
        {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8), static_cast<std::uint8_t>(rgb)});
  }
}

}  // namespace

std::uint32_t ReadLittleEndian(std::span<const std::uint8_t> file, std::size_t offset, int size) {
  if (offset > file.size() || file.size() - offset < static_cast<std::size_t>(size)) {
    throw PictureError("BMP: unexpected end of file");
  }
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | file[offset + static_cast<std::size_t>(i)];
  return value;
}

BmpLayout ReadBmpLayout(std::span<const std::uint8_t> file) {
  Check(file.size() >= 2 && file[0] == 'B' && file[1] == 'M', "not a bitmap file");
  BmpLayout layout;
  layout.PixelOffset = ReadLittleEndian(file, 10, 4);
  const std::uint32_t headerSize = ReadLittleEndian(file, FileHeaderSize, 4);
  Check(headerSize == CoreHeaderSize || IsInfoFamily(headerSize), "unsupported header");
  const bool core = headerSize == CoreHeaderSize;
  const std::uint32_t colours = core ? 0 : ReadInfoHeader(file, layout);
  if (core) ReadCoreHeader(file, layout);
  CheckFormat(layout);
  if (layout.Compression == BmpCompression::None) SetDefaultMasks(layout);
  std::size_t paletteOffset = FileHeaderSize + headerSize;
  if (headerSize == InfoHeaderSize && HasBitFields(layout.Compression)) {
    paletteOffset += layout.Compression == BmpCompression::AlphaBitFields ? 16 : 12;
  }
  if (layout.BitCount <= 8) ReadPalette(file, paletteOffset, core ? 3 : 4, colours, layout);
  return layout;
}

}  // namespace tessimar
