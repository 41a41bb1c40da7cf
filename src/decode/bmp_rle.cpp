#include "decode/bmp_rle.h"

#include <algorithm>

namespace tessimar {
namespace {

// Where the walk through the runs stands: y counts from the bottom row, as the runs do.
struct RleCursor {
  std::size_t Offset = 0;
  std::int64_t X = 0, Y = 0;
};

// The index of pixel i of a run: RLE4 packs two in a byte, high half first.
std::uint8_t IndexInRun(bool rle4, std::uint8_t byte, std::uint32_t i) {
  if (!rle4) return byte;
  return i % 2 == 0 ? byte >> 4 : byte & 0x0F;
}

// Walks the runs from cursor until stop(cursor) before a code, or the end of the bitmap. Calls
// put(start, x, index) for each pixel, start being the cursor before the pixel's code. Throws
// PictureError where the data end.
template <typename Stop, typename Put>
void WalkRuns(const std::vector<std::uint8_t>& file, bool rle4, RleCursor cursor, Stop stop, Put put) {
  while (!stop(cursor)) {
    const RleCursor start = cursor;
    const std::uint32_t count = ReadLittleEndian(file, cursor.Offset, 1);
    const std::uint32_t code = ReadLittleEndian(file, cursor.Offset + 1, 1);
    cursor.Offset += 2;
    if (count > 0) {
      for (std::uint32_t i = 0; i < count; ++i) put(start, cursor.X++, IndexInRun(rle4, code, i));
    } else if (code == 0) {
      cursor.X = 0, ++cursor.Y;
    } else if (code == 1) {
      return;
    } else if (code == 2) {
      cursor.X += ReadLittleEndian(file, cursor.Offset, 1);
      cursor.Y += ReadLittleEndian(file, cursor.Offset + 1, 1);
      cursor.Offset += 2;
    } else {
      // An uncompressed run, padded to 16 bits; the whole run is there before any pixel.
      const std::size_t bytes = rle4 ? (code + 1) / 2 : code;
      ReadLittleEndian(file, cursor.Offset + bytes - 1, 1);
      for (std::uint32_t i = 0; i < code; ++i)
        put(start, cursor.X++, IndexInRun(rle4, file[cursor.Offset + (rle4 ? i / 2 : i)], i));
      cursor.Offset += bytes + bytes % 2;
    }
  }
}

// The cursor at the first code that draws in each drawn row, bottom row first. The walk only
// ever moves up, so each row's codes follow one another and a row is one entry.
std::vector<RleCursor> DrawnRows(const std::vector<std::uint8_t>& file, const BmpLayout& layout, bool rle4) {
  std::vector<RleCursor> rows;
  const auto stop = [&](const RleCursor& at) { return at.Y >= layout.Height; };
  WalkRuns(file, rle4, {.Offset = layout.PixelOffset}, stop, [&](const RleCursor& start, std::int64_t x, std::uint8_t) {
    if (x < layout.Width && (rows.empty() || rows.back().Y != start.Y)) rows.push_back(start);
  });
  return rows;
}

void PutColour(const BmpLayout& layout, std::uint8_t index, std::uint8_t* rgb) {
  const BmpColour colour = index < layout.Palette.size() ? layout.Palette[index] : BmpColour{};
  std::copy(colour.begin(), colour.end(), rgb);
}

}  // namespace

void SendRle(const std::vector<std::uint8_t>& file, const BmpLayout& layout, RowSink& sink) {
  const bool rle4 = layout.Compression == BmpCompression::Rle4;
  const std::vector<RleCursor> drawn = DrawnRows(file, layout, rle4);
  const std::size_t width = static_cast<std::size_t>(layout.Width);
  std::vector<std::uint8_t> background(width * 3), rgb(width * 3);
  for (std::size_t x = 0; x < width; ++x) PutColour(layout, 0, &background[x * 3]);
  sink.Begin(static_cast<std::int32_t>(layout.Width), static_cast<std::int32_t>(layout.Height));
  auto next = drawn.rbegin();
  for (std::int64_t top = 0; top < layout.Height; ++top) {
    const std::int64_t y = layout.Height - 1 - top;
    if (next == drawn.rend() || next->Y != y) {
      sink.Row(static_cast<std::int32_t>(top), background.data());
      continue;
    }
    // Drawing the row again from its first code: the walk already proved its data whole.
    std::copy(background.begin(), background.end(), rgb.begin());
    const auto stop = [y](const RleCursor& at) { return at.Y != y; };
    WalkRuns(file, rle4, *next++, stop, [&](const RleCursor&, std::int64_t x, std::uint8_t index) {
      if (x < layout.Width) PutColour(layout, index, &rgb[static_cast<std::size_t>(x) * 3]);
    });
    sink.Row(static_cast<std::int32_t>(top), rgb.data());
  }
}

}  // namespace tessimar
