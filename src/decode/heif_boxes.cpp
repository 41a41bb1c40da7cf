#include "decode/heif_boxes.h"

#include <array>

#include "decode/picture_error.h"

namespace tessimar {
namespace {

constexpr const char* Damaged = "HEIF: damaged box structure";
// The item structure of even a huge grid takes well under this.
constexpr std::uint64_t MaxMetaBytes = std::uint64_t{64} << 20;
constexpr std::size_t HeaderBytes = 8, LargeHeaderBytes = 16;

struct BoxHeader {
  std::uint64_t Size = 0;  // 0: up to the end of what holds it
  std::size_t Bytes = HeaderBytes;
};

BoxHeader ReadHeader(ByteCursor& cursor) {
  BoxHeader header{cursor.U32()};
  cursor.Type();
  if (header.Size == 1) {
    header.Size = cursor.Number(8);
    header.Bytes = LargeHeaderBytes;
  }
  if (header.Size != 0 && header.Size < header.Bytes) throw PictureError(Damaged);
  return header;
}

}  // namespace

std::uint64_t ByteCursor::Number(std::size_t bytes) {
  const std::span<const std::uint8_t> field = Take(bytes);
  std::uint64_t value = 0;
  for (const std::uint8_t byte : field) value = value << 8 | byte;
  return value;
}

std::string_view ByteCursor::Type() {
  const std::span<const std::uint8_t> type = Take(4);
  return {reinterpret_cast<const char*>(type.data()), type.size()};
}

std::span<const std::uint8_t> ByteCursor::Take(std::size_t bytes) {
  if (bytes > data_.size()) throw PictureError(Damaged);
  const std::span<const std::uint8_t> taken = data_.first(bytes);
  data_ = data_.subspan(bytes);
  return taken;
}

std::vector<Box> ChildBoxes(std::span<const std::uint8_t> data) {
  std::vector<Box> boxes;
  ByteCursor cursor(data);
  while (cursor.Rest().size() >= HeaderBytes) {
    const std::span<const std::uint8_t> start = cursor.Rest();
    const BoxHeader header = ReadHeader(cursor);
    const std::uint64_t size = header.Size == 0 ? start.size() : header.Size;
    if (size > start.size()) throw PictureError(Damaged);
    const std::string_view type(reinterpret_cast<const char*>(start.data()) + 4, 4);
    boxes.push_back({type, start.subspan(header.Bytes, size - header.Bytes)});
    cursor = ByteCursor(start.subspan(size));
  }
  return boxes;
}

const Box* FirstBox(const std::vector<Box>& boxes, std::string_view type) {
  for (const Box& box : boxes)
    if (box.Type == type) return &box;
  return nullptr;
}

std::vector<std::uint8_t> ReadMetaBox(const OpenedFile& file) {
  std::uint64_t offset = 0;
  std::array<std::uint8_t, LargeHeaderBytes> bytes{};
  while (offset < file.Size()) {
    const std::size_t got = file.ReadSome(offset, bytes.data(), bytes.size());
    ByteCursor cursor(std::span<const std::uint8_t>(bytes.data(), got));
    const BoxHeader header = ReadHeader(cursor);
    const std::uint64_t size = header.Size == 0 ? file.Size() - offset : header.Size;
    if (size > file.Size() - offset) throw PictureError(Damaged);
    if (std::string_view(reinterpret_cast<const char*>(bytes.data()) + 4, 4) == "meta") {
      if (size - header.Bytes > MaxMetaBytes) throw PictureError("HEIF: the item structure is too large");
      std::vector<std::uint8_t> body(static_cast<std::size_t>(size - header.Bytes));
      file.ReadAt(offset + header.Bytes, body.data(), body.size());
      return body;
    }
    offset += size;
  }
  throw PictureError("HEIF: no item structure (meta box)");
}

}  // namespace tessimar
