// Decoding a JPEG image whole, at a reduced scale, into an RGB picture as fast as libjpeg can.
#pragma once

#include <cstdint>
#include <vector>

#include "decode/rgb_picture.h"

namespace tessimar {

// Decodes jpeg at 1/scaleDenominator (1, 2, 4 or 8) in libjpeg's fastest mode: the fast integer
// DCT, no fancy upsampling, no block smoothing. Gray and CMYK pictures come out as RGB too.
// Throws PictureError on a libjpeg error or too many warnings.
RgbPicture DecodeJpegFast(const std::vector<std::uint8_t>& jpeg, int scaleDenominator);

}  // namespace tessimar
