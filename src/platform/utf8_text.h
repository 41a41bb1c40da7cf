// Valid UTF-8 out of any bytes, for writing file names where only UTF-8 may go.
#pragma once

#include <string>
#include <string_view>

namespace tessimar {

// text with each byte that is not part of a well-formed UTF-8 sequence replaced by U+FFFD,
// one for every such byte, as QString::fromUtf8 shows it (so a truncated sequence gives one per
// byte, not one for the whole as Unicode's "maximal subpart" practice would).
std::string ValidUtf8(std::string_view text);

}  // namespace tessimar
