#include "platform/number_format.h"

#include <cmath>

namespace tessimar {

std::string FormatGrouped(double value, std::string_view groupSeparator) {
  const long long rounded = std::llround(value);
  const std::string digits = std::to_string(rounded < 0 ? -static_cast<unsigned long long>(rounded)
                                                        : static_cast<unsigned long long>(rounded));
  std::string text = rounded < 0 ? "-" : "";
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += groupSeparator;
    text += digits[i];
  }
  return text;
}

}  // namespace tessimar
