// Run-length encoded bitmaps (RLE8 and RLE4).
#pragma once

#include <cstdint>
#include <vector>

#include "decode/bmp_layout.h"
#include "decode/row_sink.h"

namespace tessimar {

// Checks that the runs are whole, then sends the layout's rows, top row first. Pixels the runs
// skip keep the first colour of the table, as in a bitmap of indices that starts zeroed. Throws
// PictureError, before any row, when the data end before the picture does. Memory follows the
// rows the runs touch, not the announced size.
void SendRle(const std::vector<std::uint8_t>& file, const BmpLayout& layout, RowSink& sink);

}  // namespace tessimar
