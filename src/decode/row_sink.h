// The receiver of a decoded picture, row by row, so that no decoder needs the whole picture.
#pragma once

#include <cstdint>

namespace tessimar {

// A decoder calls Begin once with the picture's size, after checking it, then Row once for
// each row, top row first, in order. rgb holds width pixels, three bytes each, and is valid
// only during the call. Either call may throw, which ends the decoding.
class RowSink {
 public:
  virtual void Begin(std::int32_t width, std::int32_t height) = 0;
  virtual void Row(std::int32_t y, const std::uint8_t* rgb) = 0;

 protected:
  ~RowSink() = default;
};

}  // namespace tessimar
