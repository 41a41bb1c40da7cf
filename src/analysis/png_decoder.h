// PNG: the stored samples without gamma correction; alpha composited over black.
#pragma once

#include <string>

#include "analysis/rgb_picture.h"

namespace tessimar {

// 16-bit samples keep their high byte. Gray with alpha, RGBA, and a palette with two or more
// entries not fully opaque are composited over black; a transparent colour, or a palette with
// just one such entry, is ignored. Throws PictureError on any failure.
RgbPicture DecodePng(const std::string& fileName);

}  // namespace tessimar
