// Encoding a decoded picture as the JPEG image that every picture type is decoded from.
#pragma once

#include <cstdint>
#include <vector>

#include "analysis/rgb_picture.h"

namespace tessimar {

// A baseline JPEG of quality 90 from RGB input, libjpeg's defaults otherwise.
// Throws PictureError on a libjpeg error.
std::vector<std::uint8_t> EncodeJpeg(const RgbPicture& picture);

}  // namespace tessimar
