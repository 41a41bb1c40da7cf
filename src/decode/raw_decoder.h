// Camera raw (Canon CR2): LibRaw, which recognises the format by the file's content.
#pragma once

#include "decode/file_reading.h"
#include "decode/row_sink.h"

namespace tessimar {

// The developed picture as the sensor lies, unrotated, in the camera's white balance.
// Throws PictureError on any failure, damaged raw data included.
void DecodeRaw(const OpenedFile& file, RowSink& sink);

// As DecodeRaw, but false, with nothing sent, when LibRaw does not recognise the content as a
// raw at all, so that another decoder may try it; a raw it recognises and cannot decode still
// throws.
bool DecodeRawIfRecognised(const OpenedFile& file, RowSink& sink);

}  // namespace tessimar
