#include "analysis/tiff_strips.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "analysis/picture_error.h"

namespace tessimar {
namespace {

// With separate planes the first is always read, the others only if the reader wants them.
std::uint32_t StripsOfFirstPlane(TIFF* tiff) {
  const std::uint32_t count = TIFFIsTiled(tiff) ? TIFFNumberOfTiles(tiff) : TIFFNumberOfStrips(tiff);
  std::uint16_t planar = PLANARCONFIG_CONTIG, samples = 1;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
  return planar == PLANARCONFIG_SEPARATE && samples > 0 ? count / samples : count;
}

}  // namespace

void CheckStripsPresent(TIFF* tiff) {
  std::uint16_t compression = COMPRESSION_NONE;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
  // Old-style JPEG may take its data from its own offset tags, whatever the strips say.
  if (compression == COMPRESSION_OJPEG) return;
  const std::uint64_t fileSize = TIFFGetSizeProc(tiff)(TIFFClientdata(tiff));
  const std::uint32_t count = StripsOfFirstPlane(tiff);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint64_t offset = TIFFGetStrileOffset(tiff, i), bytes = TIFFGetStrileByteCount(tiff, i);
    if (bytes > 0 && offset >= fileSize) {
      throw PictureError("TIFF: strip or tile " + std::to_string(i) + " starts past the end of the file");
    }
  }
}

void CheckTilesHoldData(TIFF* tiff, std::uint64_t bandBytes) {
  const std::uint64_t fileSize = TIFFGetSizeProc(tiff)(TIFFClientdata(tiff));
  std::uint64_t stored = 0;
  for (std::uint32_t i = 0; i < TIFFNumberOfTiles(tiff) && stored < fileSize; ++i) {
    stored += TIFFGetStrileByteCount(tiff, i);
  }
  // Counts may claim more than the file has.
  stored = std::min(stored, fileSize);
  if (stored < bandBytes / MostBandBytesPerStoredByte) {
    throw PictureError("TIFF: the tiles hold too little data for their size");
  }
}

}  // namespace tessimar
