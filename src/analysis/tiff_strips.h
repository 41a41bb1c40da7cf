// Whether a TIFF's strips or tiles are in the file at all, known from its directory alone.
#pragma once

#include <tiffio.h>

namespace tessimar {

// Throws PictureError when a strip or tile the reader will need starts past the end of the file:
// its data are not there, and reading the strips before it would cost a band of the picture for
// nothing. libtiff reads a strip of no bytes as zeros, and a last strip whose count runs past the
// end as far as it goes, so both are left to it.
void CheckStripsPresent(TIFF* tiff);

}  // namespace tessimar
