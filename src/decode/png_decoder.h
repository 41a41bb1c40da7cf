// PNG: the stored samples without gamma correction; alpha composited over black.
#pragma once

#include "decode/file_reading.h"
#include "decode/row_sink.h"

namespace tessimar {

// 16-bit samples keep their high byte. Gray with alpha, RGBA, and a palette with two or more
// entries not fully opaque are composited over black; a transparent colour, or a palette with
// just one such entry, is ignored. Rows go to sink as they are decoded. Throws PictureError on
// any failure.
void DecodePng(const OpenedFile& file, RowSink& sink);

}  // namespace tessimar
