#include "platform/utf8_text.h"

#include <cstddef>

namespace tessimar {
namespace {

constexpr std::string_view ReplacementCharacter = "\xEF\xBF\xBD";

// Unicode's table of well-formed sequences: the narrowed second-byte ranges shut out overlong
// forms, surrogates and code points above U+10FFFF; later bytes are any continuation byte.
struct LeadRow {
  unsigned char First, Last;
  std::size_t Length;
  unsigned char SecondLow, SecondHigh;
};
constexpr LeadRow WellFormed[] = {
    {0xC2, 0xDF, 2, 0x80, 0xBF}, {0xE0, 0xE0, 3, 0xA0, 0xBF}, {0xE1, 0xEC, 3, 0x80, 0xBF},
    {0xED, 0xED, 3, 0x80, 0x9F}, {0xEE, 0xEF, 3, 0x80, 0xBF}, {0xF0, 0xF0, 4, 0x90, 0xBF},
    {0xF1, 0xF3, 4, 0x80, 0xBF}, {0xF4, 0xF4, 4, 0x80, 0x8F},
};

bool IsContinuation(unsigned char byte) { return byte >= 0x80 && byte <= 0xBF; }

// The length of the well-formed sequence text begins with; 0 when it begins with none.
std::size_t SequenceLength(std::string_view text) {
  const auto byte = [text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  if (byte(0) < 0x80) return 1;
  for (const LeadRow& row : WellFormed) {
    if (byte(0) < row.First || byte(0) > row.Last) continue;
    if (text.size() < row.Length || byte(1) < row.SecondLow || byte(1) > row.SecondHigh) return 0;
    for (std::size_t i = 2; i < row.Length; ++i) {
      if (!IsContinuation(byte(i))) return 0;
    }
    return row.Length;
  }
  return 0;
}

}  // namespace

std::string ValidUtf8(std::string_view text) {
  std::string valid;
  valid.reserve(text.size());
  while (!text.empty()) {
    const std::size_t length = SequenceLength(text);
    valid += length > 0 ? text.substr(0, length) : ReplacementCharacter;
    text.remove_prefix(length > 0 ? length : 1);
  }
  return valid;
}

}  // namespace tessimar
