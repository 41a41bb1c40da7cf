// TIFF: the first directory as libtiff's RGBA reader delivers it.
#pragma once

#include "decode/file_reading.h"
#include "decode/row_sink.h"

namespace tessimar {

// The pixels in their stored order, first stored row on top, whatever the Orientation tag says;
// colours come multiplied by their alpha, which is then dropped, so transparent parts are black.
// Rows go to sink a band of strips or tiles at a time. Throws PictureError on any failure.
void DecodeTiff(const OpenedFile& file, RowSink& sink);

}  // namespace tessimar
