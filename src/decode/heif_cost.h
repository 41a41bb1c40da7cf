// What libheif's decoding of a file's primary picture will cost, measured from the file before
// libheif decodes anything. The sizes libheif goes by are claims: a grid's canvas comes from its
// own header, each coded picture from its parameter sets, and a tile or an alpha plane may be
// decoded many times over. A file of a few kilobytes could otherwise cost gigabytes or minutes.
#pragma once

#include <cstdint>

#include "decode/file_reading.h"

namespace tessimar {

struct HeifCost {
  std::uint64_t LargestPixels = 0;  // the largest picture held: a coded picture, a grid or an overlay
  bool Deep = false;                // some coded picture has more than 8 bits a sample
  std::uint64_t Work = 0;           // pixels decoded in all, plus the bytes of coded data read for them
};

// Throws PictureError for a structure it cannot follow: item boxes missing or damaged, data
// outside the file, derived pictures referring to each other in a circle or nested too deep.
HeifCost MeasureHeifDecoding(const OpenedFile& file);

}  // namespace tessimar
