// Compositing a colour over black, as a blend onto a black bitmap does.
#pragma once

#include <cstdint>

namespace tessimar {

inline std::uint8_t OverBlack(std::uint8_t colour, std::uint8_t alpha) {
  return static_cast<std::uint8_t>((colour * alpha + 127) / 255);
}

}  // namespace tessimar
