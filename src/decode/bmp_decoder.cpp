#include "decode/bmp_decoder.h"

#include <algorithm>
#include <bit>

#include "decode/bmp_layout.h"
#include "decode/bmp_rle.h"
#include "decode/file_reading.h"
#include "decode/picture_error.h"
#include "decode/rgb_picture.h"

namespace tessimar {
namespace {

// A masked field of a pixel, scaled to 0..255.
std::uint8_t Field(std::uint32_t pixel, std::uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const std::uint64_t top = mask >> shift, value = (pixel & mask) >> shift;
  return static_cast<std::uint8_t>((value * 255 + top / 2) / top);
}

BmpColour IndexedPixel(const std::uint8_t* row, std::int64_t x, const BmpLayout& layout) {
  const std::int64_t bit = x * layout.BitCount;
  const int shift = 8 - layout.BitCount - static_cast<int>(bit % 8);
  const unsigned index = (row[bit / 8] >> shift) & ((1u << layout.BitCount) - 1);
  return index < layout.Palette.size() ? layout.Palette[index] : BmpColour{};
}

BmpColour DirectPixel(const std::uint8_t* row, std::int64_t x, const BmpLayout& layout) {
  const std::uint8_t* p = row + x * (layout.BitCount / 8);
  if (layout.BitCount == 24) return {p[2], p[1], p[0]};
  std::uint32_t pixel = p[0] | static_cast<std::uint32_t>(p[1]) << 8;
  if (layout.BitCount == 32) pixel |= static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
  return {Field(pixel, layout.Masks[0]), Field(pixel, layout.Masks[1]), Field(pixel, layout.Masks[2])};
}

// Stored rows are padded to a multiple of four bytes.
std::int64_t StrideOf(const BmpLayout& layout) { return (layout.Width * layout.BitCount + 31) / 32 * 4; }

void ConvertRow(const std::uint8_t* row, const BmpLayout& layout, std::uint8_t* out) {
  if (layout.BitCount == 24) {
    for (std::int64_t x = 0; x < layout.Width; ++x, row += 3, out += 3)
      out[0] = row[2], out[1] = row[1], out[2] = row[0];
    return;
  }
  for (std::int64_t x = 0; x < layout.Width; ++x, out += 3) {
    const BmpColour colour = layout.BitCount <= 8 ? IndexedPixel(row, x, layout) : DirectPixel(row, x, layout);
    std::copy(colour.begin(), colour.end(), out);
  }
}

constexpr std::size_t HeadBytes = 64 * 1024;     // more than the largest header and colour table
constexpr std::int64_t BandBytes = 1024 * 1024;  // the stored rows read at once

// Uncompressed rows are all there before anything is allocated; the last may lack its padding.
void CheckRowsPresent(std::uint64_t fileSize, const BmpLayout& layout) {
  const std::int64_t needed = (layout.Height - 1) * StrideOf(layout) + (layout.Width * layout.BitCount + 7) / 8;
  if (layout.PixelOffset > fileSize || static_cast<std::int64_t>(fileSize - layout.PixelOffset) < needed) {
    throw PictureError("BMP: the pixel data are incomplete");
  }
}

// Reads the stored rows a band at a time, top picture row first, from whichever end holds it.
void SendRows(const OpenedFile& file, const BmpLayout& layout, RowSink& sink) {
  const std::int64_t stride = StrideOf(layout);
  const std::int64_t bandRows = std::max<std::int64_t>(1, BandBytes / stride);
  std::vector<std::uint8_t> band(static_cast<std::size_t>(bandRows * stride));
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(layout.Width) * 3);
  for (std::int64_t top = 0; top < layout.Height; top += bandRows) {
    const std::int64_t rows = std::min(bandRows, layout.Height - top);
    const std::int64_t firstStored = layout.TopDown ? top : layout.Height - top - rows;
    const std::uint64_t offset = layout.PixelOffset + static_cast<std::uint64_t>(firstStored * stride);
    const std::uint64_t end = std::min<std::uint64_t>(offset + static_cast<std::uint64_t>(rows * stride), file.Size());
    file.ReadAt(offset, band.data(), static_cast<std::size_t>(end - offset));
    for (std::int64_t r = 0; r < rows; ++r) {
      const std::int64_t stored = layout.TopDown ? r : rows - 1 - r;
      ConvertRow(band.data() + stored * stride, layout, rgb.data());
      sink.Row(static_cast<std::int32_t>(top + r), rgb.data());
    }
  }
}

// Runs take at most two bytes a pixel and an end of line a row, so bytes past that are never
// needed: a file that is mostly a hole costs what its picture could use, not its size.
std::vector<std::uint8_t> RleBytes(const OpenedFile& file, const BmpLayout& layout) {
  const std::uint64_t rows = static_cast<std::uint64_t>(layout.Height);
  const std::uint64_t most = layout.PixelOffset + 2 * (static_cast<std::uint64_t>(layout.Width) + 1) * rows + 2;
  std::vector<std::uint8_t> bytes(std::min(file.Size(), most));
  bytes.resize(file.ReadSome(0, bytes.data(), bytes.size()));
  return bytes;
}

}  // namespace

void DecodeBmp(const OpenedFile& file, RowSink& sink) {
  std::vector<std::uint8_t> head(std::min<std::uint64_t>(file.Size(), HeadBytes));
  file.ReadAt(0, head.data(), head.size());
  const BmpLayout layout = ReadBmpLayout(head);
  CheckAnnouncedSize(layout.Width, layout.Height);
  const bool runs = layout.Compression == BmpCompression::Rle8 || layout.Compression == BmpCompression::Rle4;
  if (!runs) {
    CheckRowsPresent(file.Size(), layout);
    sink.Begin(static_cast<std::int32_t>(layout.Width), static_cast<std::int32_t>(layout.Height));
    return SendRows(file, layout, sink);
  }
  SendRle(RleBytes(file, layout), layout, sink);
}

}  // namespace tessimar
