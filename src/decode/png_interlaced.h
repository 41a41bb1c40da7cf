// An interlaced PNG's rows, in order, from at most a quarter of its pixels kept in memory.
#pragma once

#include "decode/file_reading.h"
#include "decode/png_reader.h"
#include "decode/row_sink.h"

namespace tessimar {

// Sends every row of the interlaced picture that reader, which has read only the header, opened
// in file. The first passes are kept as they are read, in at most the memory of a quarter of the
// pixels; the rest of the passes that complete the rows are read in step with the rows sent,
// each through a reader of its own. Throws PictureError when the data are damaged or end early.
void SendInterlacedRows(const OpenedFile& file, PngReader& reader, RowSink& sink);

}  // namespace tessimar
