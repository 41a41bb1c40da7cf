#include "analysis/bmp_rle.h"

#include <algorithm>

namespace tessimar {
namespace {

class RleCanvas {
 public:
  RleCanvas(const BmpLayout& layout, RgbPicture& picture) : layout_(layout), picture_(picture) {
    const BmpColour first = layout.Palette.empty() ? BmpColour{} : layout.Palette[0];
    for (std::size_t i = 0; i < picture.Pixels.size(); i += 3)
      std::copy(first.begin(), first.end(), &picture.Pixels[i]);
  }

  bool Done() const { return y_ >= picture_.Height; }
  void EndLine() { x_ = 0, ++y_; }
  void Move(int dx, int dy) { x_ += dx, y_ += dy; }

  // Pixels past the end of a row are dropped.
  void Put(std::uint8_t index) {
    if (x_ < picture_.Width && !Done()) {
      const BmpColour colour = index < layout_.Palette.size() ? layout_.Palette[index] : BmpColour{};
      std::copy(colour.begin(), colour.end(),
                picture_.Row(picture_.Height - 1 - static_cast<std::int32_t>(y_)) + x_ * 3);
    }
    ++x_;
  }

 private:
  const BmpLayout& layout_;
  RgbPicture& picture_;
  std::int64_t x_ = 0, y_ = 0;  // y counts from the bottom row, as the runs do
};

// The index of pixel i of a run: RLE4 packs two in a byte, high half first.
std::uint8_t IndexInRun(bool rle4, std::uint8_t byte, int i) {
  if (!rle4) return byte;
  return i % 2 == 0 ? byte >> 4 : byte & 0x0F;
}

// An uncompressed run of count pixels at offset; returns the offset after it, padded to 16 bits.
std::size_t PutAbsolute(const std::vector<std::uint8_t>& file, std::size_t offset, int count, bool rle4,
                        RleCanvas& canvas) {
  const std::size_t bytes = rle4 ? (static_cast<std::size_t>(count) + 1) / 2 : static_cast<std::size_t>(count);
  ReadLittleEndian(file, offset + bytes - 1, 1);  // the whole run is there
  for (int i = 0; i < count; ++i)
    canvas.Put(IndexInRun(rle4, file[offset + static_cast<std::size_t>(rle4 ? i / 2 : i)], i));
  return offset + bytes + bytes % 2;
}

}  // namespace

void DrawRle(const std::vector<std::uint8_t>& file, const BmpLayout& layout, RgbPicture& picture) {
  const bool rle4 = layout.Compression == BmpCompression::Rle4;
  RleCanvas canvas(layout, picture);
  std::size_t offset = layout.PixelOffset;
  while (!canvas.Done()) {
    const std::uint32_t count = ReadLittleEndian(file, offset, 1), code = ReadLittleEndian(file, offset + 1, 1);
    offset += 2;
    if (count > 0) {
      for (std::uint32_t i = 0; i < count; ++i)
        canvas.Put(IndexInRun(rle4, static_cast<std::uint8_t>(code), static_cast<int>(i)));
    } else if (code == 0) {
      canvas.EndLine();
    } else if (code == 1) {
      return;
    } else if (code == 2) {
      canvas.Move(static_cast<int>(ReadLittleEndian(file, offset, 1)),
                  static_cast<int>(ReadLittleEndian(file, offset + 1, 1)));
      offset += 2;
    } else {
      offset = PutAbsolute(file, offset, static_cast<int>(code), rle4, canvas);
    }
  }
}

}  // namespace tessimar
