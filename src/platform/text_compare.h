// Text comparison without case as the scan uses it: only the ASCII letters a to z are
// folded; no locale rules.
#pragma once

#include <string>
#include <string_view>

namespace tessimar {

char UpperAscii(char c);
std::string UpperAscii(std::string_view text);

// Negative, zero or positive; ASCII letters upper-cased, then byte values compared.
int CompareTextNoCase(std::string_view a, std::string_view b);

// Wildcard match without case: '*' stands for any run of characters, including none.
bool MatchesMask(std::string_view name, std::string_view mask);

}  // namespace tessimar
