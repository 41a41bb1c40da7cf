// The boxes of an ISO base media file (HEIF): a type and a body each, boxes within boxes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "decode/file_reading.h"

namespace tessimar {

struct Box {
  std::string_view Type;  // four characters, within the bytes the box came from
  std::span<const std::uint8_t> Body;
};

// Big-endian fields read one after another; past the end, a read throws PictureError.
class ByteCursor {
 public:
  explicit ByteCursor(std::span<const std::uint8_t> data) : data_(data) {}

  // An unsigned number of bytes bytes (0 to 8).
  std::uint64_t Number(std::size_t bytes);
  std::uint32_t U8() { return static_cast<std::uint32_t>(Number(1)); }
  std::uint32_t U16() { return static_cast<std::uint32_t>(Number(2)); }
  std::uint32_t U32() { return static_cast<std::uint32_t>(Number(4)); }
  std::string_view Type();
  std::span<const std::uint8_t> Take(std::size_t bytes);
  std::span<const std::uint8_t> Rest() const { return data_; }
  bool AtEnd() const { return data_.empty(); }

 private:
  std::span<const std::uint8_t> data_;
};

// The boxes one after another in data, as far as whole boxes go: a box whose size runs past
// the end throws PictureError.
std::vector<Box> ChildBoxes(std::span<const std::uint8_t> data);
// The first of boxes of that type; nullptr without one.
const Box* FirstBox(const std::vector<Box>& boxes, std::string_view type);

// The body of the file's first top-level meta box, with its version and flags: the item
// structure libheif reads. Throws PictureError without one, or for one of an insane size.
std::vector<std::uint8_t> ReadMetaBox(const OpenedFile& file);

}  // namespace tessimar
