// What decoding a JPEG may cost, held to the data it brings. Only pictures of several scans can
// cost far more than their data: they keep every coefficient until the last scan, and each scan
// passes over every block of its components. No photograph comes near these limits; a little
// data announcing a huge progressive picture, or hundreds of scans, would cost hundreds of
// megabytes or minutes.
#pragma once

#include <cstdint>

#include "decode/jpeg_errors.h"

namespace tessimar {

// Past this many bytes of coefficients, 128 bytes for each 8 x 8 block of each component, the
// data must hold a byte for every MostCoefficientBytesPerDataByte of them.
inline constexpr std::uint64_t LargeCoefficientBytes = std::uint64_t{64} << 20;
inline constexpr std::uint64_t MostCoefficientBytesPerDataByte = 256;
// Past this many passes of a scan over a block, some 20 ns each, the data must hold a byte for
// every MostBlockPassesPerDataByte of them.
inline constexpr std::uint64_t FreeBlockPasses = std::uint64_t{1} << 26;
inline constexpr std::uint64_t MostBlockPassesPerDataByte = 64;

// The progress monitor that counts the block passes; it must outlive the decoding.
struct JpegWorkLimits {
  jpeg_progress_mgr Manager{};  // first member: libjpeg hands back a pointer to it
  std::uint64_t DataBytes = 0;
  std::uint64_t BlockPasses = 0;
  int Scan = 0;
};

// Between jpeg_read_header and jpeg_start_decompress of a decompressor whose errors are
// installed: fails through them at once if the coefficients are too many for dataBytes, and
// later, from the progress monitor limits sets up, once the scans cost too much.
void LimitJpegWork(jpeg_decompress_struct& info, JpegWorkLimits& limits, std::uint64_t dataBytes);

}  // namespace tessimar
