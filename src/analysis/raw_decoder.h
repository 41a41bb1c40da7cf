// Camera raw (Canon CR2): LibRaw, which recognises the format by the file's content.
#pragma once

#include <optional>
#include <string>

#include "analysis/rgb_picture.h"

namespace tessimar {

// The developed picture as the sensor lies, unrotated, in the camera's white balance.
// Throws PictureError on any failure, damaged raw data included.
RgbPicture DecodeRaw(const std::string& fileName);

// As DecodeRaw, but empty when LibRaw does not recognise the content as a raw at all, so that
// another decoder may try it; a raw it recognises and cannot decode still throws.
std::optional<RgbPicture> DecodeRawIfRecognised(const std::string& fileName);

}  // namespace tessimar
