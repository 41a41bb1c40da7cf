// A libjpeg source reading an opened picture file through one bounded buffer.
#pragma once

#include "decode/file_reading.h"
#include "decode/jpeg_errors.h"

namespace tessimar {

// Makes file the input of info, which must be created. The end of the file ends the data as
// libjpeg's own sources do: a warning and a fake end of image, so truncated files decode as far
// as they go. An empty file or a read error is a libjpeg error. file must outlive the decoding.
void SetJpegFileSource(jpeg_decompress_struct& info, const OpenedFile& file);

}  // namespace tessimar
