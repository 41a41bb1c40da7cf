// Camera raw (Canon CR2): LibRaw, which recognises the format by the file's content.
#pragma once

#include <string>

#include "analysis/rgb_picture.h"

namespace tessimar {

// The developed picture as the sensor lies, unrotated, in the camera's white balance.
// Throws PictureError on any failure, damaged raw data included.
RgbPicture DecodeRaw(const std::string& fileName);

}  // namespace tessimar
