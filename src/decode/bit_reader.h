// Reading the bit-packed headers of coded pictures: fields most significant bit first, as the
// HEVC and AV1 headers store them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <utility>

namespace tessimar {

class BitReader {
 public:
  // Past the end of data, a read throws PictureError with what as its message.
  BitReader(std::span<const std::uint8_t> data, std::string what) : data_(data), what_(std::move(what)) {}

  // The next count bits (0 to 32) as a number.
  std::uint32_t Bits(int count);
  bool Flag() { return Bits(1) != 0; }
  void Skip(std::size_t count);
  // HEVC's ue(v): an Exp-Golomb code of at most 32 bits of value.
  std::uint32_t ExpGolomb();
  // AV1's uvlc(): as ue(v), but 32 or more leading zeros stand for 2^32 - 1.
  std::uint32_t Uvlc();

 private:
  std::size_t LeadingZeros();

  std::span<const std::uint8_t> data_;
  std::string what_;
  std::size_t position_ = 0;  // in bits
};

}  // namespace tessimar
