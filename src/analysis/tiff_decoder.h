// TIFF: the first directory as libtiff's RGBA reader delivers it.
#pragma once

#include <string>

#include "analysis/rgb_picture.h"

namespace tessimar {

// Top row first; colours come multiplied by their alpha, which is then dropped, so transparent
// parts are black. Throws PictureError on any failure.
RgbPicture DecodeTiff(const std::string& fileName);

}  // namespace tessimar
