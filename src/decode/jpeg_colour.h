// Colour conversions libjpeg leaves to its caller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>  // before jpeglib.h, which uses size_t and FILE without declaring them

#include <jpeglib.h>

namespace tessimar {

// One decoded CMYK row of info.output_width pixels as RGB, the ink inverted or not as the
// picture's Adobe segment says.
void CmykToRgb(const jpeg_decompress_struct& info, const JSAMPLE* cmyk, std::uint8_t* rgb);

}  // namespace tessimar
