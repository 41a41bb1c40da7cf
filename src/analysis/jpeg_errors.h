// The error boundary around libjpeg: its errors jump back to a setjmp point instead of
// ending the process, a flood of warnings counts as an error, and its memory is limited.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>  // before jpeglib.h, which uses size_t and FILE without declaring them

#include <jpeglib.h>

namespace tessimar {

// Progressive pictures keep all coefficients; beyond this libjpeg fails instead of exhausting memory.
inline constexpr long JpegMemoryBudget = 1L << 30;
// More warnings than this in one picture (a corrupt segment, a premature end) fail the load.
inline constexpr long MaxJpegWarnings = 100;

// A picture of several scans keeps every coefficient until its last scan: 128 bytes for each
// 8 x 8 block of each component. Past this many bytes of them its data must hold one byte for
// every MostCoefficientBytesPerDataByte. No photograph compresses nearly so far; a little data
// announcing a huge progressive picture would cost hundreds of megabytes.
inline constexpr std::uint64_t LargeCoefficientBytes = std::uint64_t{64} << 20;
inline constexpr std::uint64_t MostCoefficientBytesPerDataByte = 256;

struct JpegErrors {
  jpeg_error_mgr Manager{};  // first member: libjpeg hands back a pointer to it
  std::jmp_buf Jump{};
  char Message[JMSG_LENGTH_MAX + 40] = {};
};

// Makes errors the error handler of a compressor or decompressor not yet created.
// Its errors then longjmp to errors.Jump with the text in errors.Message.
jpeg_error_mgr* InstallJpegErrors(JpegErrors& errors);

// Between jpeg_read_header and jpeg_start_decompress: fails as libjpeg's errors do, through the
// handler installed, when a large picture of several scans has too little data (dataBytes).
void CheckCoefficientsHoldData(jpeg_decompress_struct& info, std::uint64_t dataBytes);

}  // namespace tessimar
