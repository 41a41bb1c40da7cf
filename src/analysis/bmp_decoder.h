// BMP: the stored pixels of a Windows bitmap, any alpha ignored.
#pragma once

#include <string>

#include "analysis/rgb_picture.h"

namespace tessimar {

// Core, info, V4 and V5 headers; 1, 2, 4, 8, 16, 24 and 32 bits a pixel; bit fields; RLE8
// and RLE4. Throws PictureError on any failure, missing pixel data included.
RgbPicture DecodeBmp(const std::string& fileName);

}  // namespace tessimar
