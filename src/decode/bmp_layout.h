// The headers of a Windows bitmap file: core, info, V4 and V5, with colour table and bit fields.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tessimar {

enum class BmpCompression : std::uint32_t { None = 0, Rle8 = 1, Rle4 = 2, BitFields = 3, AlphaBitFields = 6 };

using BmpColour = std::array<std::uint8_t, 3>;  // red, green, blue

struct BmpLayout {
  std::int64_t Width = 0;
  std::int64_t Height = 0;  // positive; TopDown tells the order of the stored rows
  bool TopDown = false;
  int BitCount = 0;
  BmpCompression Compression = BmpCompression::None;
  std::array<std::uint32_t, 3> Masks{};  // red, green, blue: 16 and 32 bits a pixel only
  std::vector<BmpColour> Palette;        // 1 to 8 bits a pixel only
  std::size_t PixelOffset = 0;
};

// Reads and checks the headers; throws PictureError for a damaged or unsupported file.
BmpLayout ReadBmpLayout(std::span<const std::uint8_t> file);

// The little-endian number of size bytes (1, 2 or 4) at offset; throws PictureError past the end.
std::uint32_t ReadLittleEndian(std::span<const std::uint8_t> file, std::size_t offset, int size);

}  // namespace tessimar
