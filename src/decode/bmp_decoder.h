// BMP: the stored pixels of a Windows bitmap, any alpha ignored.
#pragma once

#include "decode/file_reading.h"
#include "decode/row_sink.h"

namespace tessimar {

// Core, info, V4 and V5 headers; 1, 2, 4, 8, 16, 24 and 32 bits a pixel; bit fields; RLE8
// and RLE4. Rows go to sink one by one (run-length pictures once drawn whole). Throws
// PictureError on any failure, missing pixel data included.
void DecodeBmp(const OpenedFile& file, RowSink& sink);

}  // namespace tessimar
