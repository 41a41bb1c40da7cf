// Loading one picture file into the working bitmap.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "decode/picture_size.h"
#include "decode/working_bitmap.h"
#include "settings/settings.h"

namespace tessimar {

// Decodes fileName by its extension (a .cr2, HEIF, AVIF or WebP file by its content: one that
// holds a JPEG, PNG, GIF, BMP or TIFF picture as that picture), routes the picture through
// a JPEG image (a JPEG file as it is, any other type encoded at quality 90), decodes that at
// 1/8, 1/4 or full scale as the picture's size and the minimum sizes in settings call for, and
// stretches it over the whole bitmap. Where another type's JPEG would be decoded at 1/8, the
// bitmap is computed from the decoded rows without it, to the same bits. The file is opened
// once and only that descriptor is read; JPEG files over 1 GB are refused. Returns the picture's
// own size. Throws PictureError on any failure, leaving the bitmap in an unspecified state.
PictureSize LoadPicture(const std::string& fileName, WorkingBitmap& bitmap, const TSettings& settings = {});

// The JPEG image every load starts from: a JPEG file's own bytes, any other type decoded by its
// extension (or by its content, as LoadPicture does) and encoded at quality 90. Throws PictureError, without
// the file's name, on any failure.
std::vector<std::uint8_t> PictureAsJpeg(const std::string& fileName);

}  // namespace tessimar
