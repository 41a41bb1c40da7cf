// GIF: the first frame on its logical screen.
#pragma once

#include "decode/file_reading.h"
#include "decode/row_sink.h"

namespace tessimar {

// A picture of the logical screen's size with the first frame drawn at its place. The area
// the frame leaves uncovered, and its transparent pixels, show the background colour when
// the frame has a transparent colour, black otherwise. Rows go to sink as they are decoded
// (an interlaced frame's once it is whole). Throws PictureError on any failure, a file without
// a frame included.
void DecodeGif(const OpenedFile& file, RowSink& sink);

}  // namespace tessimar
