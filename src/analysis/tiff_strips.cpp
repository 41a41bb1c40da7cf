#include "analysis/tiff_strips.h"

#include <cstdint>
#include <string>

#include "analysis/picture_error.h"

namespace tessimar {

void CheckStripsPresent(TIFF* tiff) {
  const std::uint64_t fileSize = TIFFGetSizeProc(tiff)(TIFFClientdata(tiff));
  std::uint32_t count = TIFFIsTiled(tiff) ? TIFFNumberOfTiles(tiff) : TIFFNumberOfStrips(tiff);
  std::uint16_t planar = PLANARCONFIG_CONTIG, samples = 1;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
  // Separate planes: the first is always read; the others only if the reader wants them.
  if (planar == PLANARCONFIG_SEPARATE && samples > 0) count /= samples;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint64_t offset = TIFFGetStrileOffset(tiff, i), bytes = TIFFGetStrileByteCount(tiff, i);
    if (bytes > 0 && offset >= fileSize) {
      throw PictureError("TIFF: strip or tile " + std::to_string(i) + " starts past the end of the file");
    }
  }
}

}  // namespace tessimar
