// A digest of a file's whole content, so that many files can be told apart by reading each once.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tessimar {

// SHA-256: files crafted to share a digest would each cost a byte comparison again.
using ContentDigest = std::array<std::uint8_t, 32>;

// The digest of the regular file at path. goOn runs after every block read; once it answers
// false the reading ends and nothing is returned, as when the file cannot be opened or read.
std::optional<ContentDigest> DigestOfFile(const std::string& path, const std::function<bool()>& goOn);

}  // namespace tessimar
