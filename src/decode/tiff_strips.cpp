#include "decode/tiff_strips.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "decode/picture_error.h"

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

std::uint16_t Compression(TIFF* tiff) {
  std::uint16_t compression = COMPRESSION_NONE;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
  return compression;
}

}  // namespace

// Old-style JPEG may take its data from its own offset tags, whatever the strips say.
void CheckStripsPresent(TIFF* tiff) {
  if (Compression(tiff) == COMPRESSION_OJPEG) return;
  const std::uint64_t fileSize = TIFFGetSizeProc(tiff)(TIFFClientdata(tiff));
  const std::uint32_t count = StripsOfFirstPlane(tiff);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint64_t offset = TIFFGetStrileOffset(tiff, i), bytes = TIFFGetStrileByteCount(tiff, i);
    if (bytes > 0 && offset >= fileSize) {
      throw PictureError("TIFF: strip or tile " + std::to_string(i) + " starts past the end of the file");
    }
  }
}

void CheckStripsHoldData(TIFF* tiff, std::uint64_t bandBytes) {
  if (Compression(tiff) == COMPRESSION_OJPEG) return;
  const std::uint64_t fileSize = TIFFGetSizeProc(tiff)(TIFFClientdata(tiff));
  const std::uint32_t count = TIFFIsTiled(tiff) ? TIFFNumberOfTiles(tiff) : TIFFNumberOfStrips(tiff);
  std::uint64_t stored = 0;
  for (std::uint32_t i = 0; i < count && stored < fileSize; ++i) stored += TIFFGetStrileByteCount(tiff, i);
  // Counts may claim more than the file has.
  if (std::min(stored, fileSize) < bandBytes / MostBandBytesPerStoredByte) {
    throw PictureError("TIFF: the strips or tiles hold too little data for their size");
  }
}

}  // namespace tessimar
