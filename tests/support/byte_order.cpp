#include "byte_order.h"

#include <algorithm>

namespace tessimar::testing {
namespace {

void Overwrite(std::string& bytes, std::size_t offset, const std::string& with) {
  for (std::size_t i = 0; i < with.size(); ++i) bytes.at(offset + i) = with[i];
}

}  // namespace

std::string LittleEndian(std::uint64_t value, int size) {
  std::string out;
  for (int i = 0; i < size; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
  return out;
}

std::string BigEndian(std::uint64_t value, int size) {
  std::string out = LittleEndian(value, size);
  std::ranges::reverse(out);
  return out;
}

void PutLittleEndian(std::string& bytes, std::size_t offset, std::uint64_t value, int size) {
  Overwrite(bytes, offset, LittleEndian(value, size));
}

void PutBigEndian(std::string& bytes, std::size_t offset, std::uint64_t value, int size) {
  Overwrite(bytes, offset, BigEndian(value, size));
}

}  // namespace tessimar::testing
