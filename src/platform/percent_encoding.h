// Paths written as the trash's Path= key writes them: every byte but RFC 2396's unreserved
// characters and '/' as %XX, so that no tab, line break or other control byte is left.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessimar {

std::string PercentEncoded(std::string_view text);

// The bytes text stands for; nothing when a '%' is not followed by two hexadecimal digits.
std::optional<std::string> PercentDecoded(std::string_view text);

}  // namespace tessimar
