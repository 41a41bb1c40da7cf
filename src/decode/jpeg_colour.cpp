#include "decode/jpeg_colour.h"

#include <cstdint>

namespace tessimar {
namespace {

std::uint8_t Product(int a, int b) { return static_cast<std::uint8_t>((a * b + 127) / 255); }

}  // namespace

// Adobe writes CMYK inverted (0 = full ink) and marks it with its APP14 segment.
void CmykToRgb(const jpeg_decompress_struct& info, const JSAMPLE* cmyk, std::uint8_t* rgb) {
  const bool inverted = info.saw_Adobe_marker;
  for (JDIMENSION x = 0; x < info.output_width; ++x, cmyk += 4, rgb += 3) {
    const int k = inverted ? cmyk[3] : 255 - cmyk[3];
    for (int c = 0; c < 3; ++c) rgb[c] = Product(inverted ? cmyk[c] : 255 - cmyk[c], k);
  }
}

}  // namespace tessimar
