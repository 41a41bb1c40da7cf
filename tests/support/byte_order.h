// Integers as file formats store them: the low `size` bytes of a value, least or most
// significant first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tessimar::testing {

std::string LittleEndian(std::uint64_t value, int size);
std::string BigEndian(std::uint64_t value, int size);

// Overwrites the `size` bytes at offset; throws std::out_of_range where they pass the end.
void PutLittleEndian(std::string& bytes, std::size_t offset, std::uint64_t value, int size);
void PutBigEndian(std::string& bytes, std::size_t offset, std::uint64_t value, int size);

}  // namespace tessimar::testing
