#include "decode/bit_reader.h"

#include "decode/picture_error.h"

namespace tessimar {

std::uint32_t BitReader::Bits(int count) {
  if (position_ + static_cast<std::size_t>(count) > data_.size() * 8) throw PictureError(what_);
  std::uint32_t value = 0;
  for (int i = 0; i < count; ++i, ++position_) {
    value = value << 1 | ((data_[position_ / 8] >> (7 - position_ % 8)) & 1u);
  }
  return value;
}

void BitReader::Skip(std::size_t count) {
  if (count > data_.size() * 8 - position_) throw PictureError(what_);
  position_ += count;
}

std::size_t BitReader::LeadingZeros() {
  std::size_t zeros = 0;
  while (!Flag()) ++zeros;
  return zeros;
}

std::uint32_t BitReader::ExpGolomb() {
  const std::size_t zeros = LeadingZeros();
  if (zeros > 31) throw PictureError(what_);
  const int count = static_cast<int>(zeros);
  return static_cast<std::uint32_t>((std::uint64_t{1} << count) - 1 + Bits(count));
}

std::uint32_t BitReader::Uvlc() {
  const std::size_t zeros = LeadingZeros();
  if (zeros > 31) return UINT32_MAX;
  const int count = static_cast<int>(zeros);
  return static_cast<std::uint32_t>((std::uint64_t{1} << count) - 1 + Bits(count));
}

}  // namespace tessimar
