// Run-length encoded bitmaps (RLE8 and RLE4).
#pragma once

#include <cstdint>
#include <vector>

#include "analysis/bmp_layout.h"
#include "analysis/rgb_picture.h"

namespace tessimar {

// Draws the runs into picture, already of the layout's size. Pixels the runs skip keep the
// first colour of the table, as in a bitmap of indices that starts zeroed. Throws PictureError
// when the data end before the picture does.
void DrawRle(const std::vector<std::uint8_t>& file, const BmpLayout& layout, RgbPicture& picture);

}  // namespace tessimar
