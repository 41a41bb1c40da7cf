// Decoding a JPEG image at a reduced scale straight into the working bitmap.
#pragma once

#include <cstdint>
#include <vector>

#include "decode/file_reading.h"
#include "decode/picture_size.h"
#include "decode/working_bitmap.h"

namespace tessimar {

// The smallest sides a scan looks for; large pictures are reduced more.
struct MinimumSize {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
};

// 8 when both sides exceed max(minimum, 1000), else 4 when both exceed max(minimum, 500), else 1.
int ChooseScaleDenominator(PictureSize full, MinimumSize minimum);

// Decodes jpeg at the scale its size calls for, stretches it over the whole bitmap and returns
// its full-scale size. Throws PictureError on a libjpeg error or too many warnings.
PictureSize DrawJpeg(const std::vector<std::uint8_t>& jpeg, MinimumSize minimum, WorkingBitmap& bitmap);

// As above, reading the JPEG file piece by piece, as far as it goes when it is cut short.
PictureSize DrawJpeg(const OpenedFile& jpeg, MinimumSize minimum, WorkingBitmap& bitmap);

}  // namespace tessimar
