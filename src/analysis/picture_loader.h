// Loading one picture file into the working bitmap.
#pragma once

#include <string>

#include "analysis/picture_size.h"
#include "analysis/working_bitmap.h"
#include "settings/settings.h"

namespace tessimar {

// Decodes fileName by its extension (a .cr2 file by its content), routes the picture through
// a JPEG image (a JPEG file as it is, any other type encoded at quality 90), decodes that at
// 1/8, 1/4 or full scale as the picture's size and the minimum sizes in settings call for, and
// stretches it over the whole bitmap. Returns the picture's own size. Throws PictureError on
// any failure, leaving the bitmap in an unspecified state.
PictureSize LoadPicture(const std::string& fileName, WorkingBitmap& bitmap, const TSettings& settings = {});

}  // namespace tessimar
