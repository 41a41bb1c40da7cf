// HEIF pictures (HEIC and AVIF), decoded by libheif.
#pragma once

#include "decode/file_reading.h"
#include "decode/row_sink.h"

namespace tessimar {

// The primary picture, not its thumbnails, depth map or the other pictures of a burst; a grid
// of tiles as one whole picture. The rotation, mirror and crop the file declares are applied:
// in HEIF they are part of the picture, not a hint to the viewer. Alpha is composited over
// black, and samples of more than 8 bits keep their high 8 bits. Rows go to sink once the
// picture is decoded. Throws PictureError on any failure.
void DecodeHeif(const OpenedFile& file, RowSink& sink);

}  // namespace tessimar
