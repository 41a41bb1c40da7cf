// WebP pictures, decoded by libwebp.
#pragma once

#include "decode/file_reading.h"
#include "decode/row_sink.h"

namespace tessimar {

// A still picture, or an animation's first frame on its canvas; alpha is composited over black.
// Rows go to sink once the picture is decoded. Throws PictureError on any failure.
void DecodeWebp(const OpenedFile& file, RowSink& sink);

}  // namespace tessimar
