#include "platform/percent_encoding.h"

namespace tessimar {
namespace {

constexpr char Hex[] = "0123456789ABCDEF";

bool IsKept(unsigned char c) {
  constexpr std::string_view Kept = "-_.~/";
  const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
  return alnum || Kept.find(static_cast<char>(c)) != std::string_view::npos;
}

// 0 to 15, or -1 for anything but a hexadecimal digit, in either case.
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string PercentEncoded(std::string_view text) {
  std::string encoded;
  for (const unsigned char c : text) {
    if (IsKept(c)) {
      encoded += static_cast<char>(c);
    } else {
      encoded += {'%', Hex[c >> 4], Hex[c & 0xF]};
    }
  }
  return encoded;
}

std::optional<std::string> PercentDecoded(std::string_view text) {
  std::string decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      decoded += text[i];
      continue;
    }
    const int high = i + 2 < text.size() ? HexValue(text[i + 1]) : -1;
    const int low = high < 0 ? -1 : HexValue(text[i + 2]);
    if (low < 0) return std::nullopt;
    decoded += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return decoded;
}

}  // namespace tessimar
