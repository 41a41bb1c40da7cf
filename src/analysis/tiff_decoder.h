// TIFF: the first directory as libtiff's RGBA reader delivers it.
#pragma once

#include <string>

#include "analysis/rgb_picture.h"

namespace tessimar {

// The pixels in their stored order, first stored row on top, whatever the Orientation tag says;
// colours come multiplied by their alpha, which is then dropped, so transparent parts are black.
// Throws PictureError on any failure.
RgbPicture DecodeTiff(const std::string& fileName);

}  // namespace tessimar
