// Whether a TIFF's strips or tiles hold the data they announce, as far as its directory tells.
#pragma once

#include <tiffio.h>

#include <cstdint>

namespace tessimar {

// Throws PictureError when a strip or tile the reader will need starts past the end of the file:
// its data are not there, and reading the strips before it would cost a band of the picture for
// nothing. libtiff reads a strip of no bytes as zeros, and a last strip whose count runs past the
// end as far as it goes, so both are left to it.
void CheckStripsPresent(TIFF* tiff);

// The file must hold at least one byte of strips or tiles for every this many bytes of memory
// that reading a band of them whole takes. No photograph compresses nearly so far; a little
// data announcing huge strips or tiles of nothing would cost gigabytes.
inline constexpr std::uint64_t MostBandBytesPerStoredByte = 256;

// Throws PictureError when the strips or tiles hold too little data for bandBytes, the memory
// that reading a band of them whole takes.
void CheckStripsHoldData(TIFF* tiff, std::uint64_t bandBytes);

}  // namespace tessimar
