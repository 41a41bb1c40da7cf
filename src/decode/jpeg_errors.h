// The error boundary around libjpeg: its errors jump back to a setjmp point instead of
// ending the process, a flood of warnings counts as an error, and its memory is limited.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdio>  // before jpeglib.h, which uses size_t and FILE without declaring them

#include <jpeglib.h>

namespace tessimar {

// Progressive pictures keep all coefficients; beyond this libjpeg fails instead of exhausting memory.
inline constexpr long JpegMemoryBudget = 1L << 30;
// More warnings than this in one picture (a corrupt segment, a premature end) fail the load.
inline constexpr long MaxJpegWarnings = 100;

struct JpegErrors {
  jpeg_error_mgr Manager{};  // first member: libjpeg hands back a pointer to it
  std::jmp_buf Jump{};
  char Message[JMSG_LENGTH_MAX + 40] = {};
};

// Makes errors the error handler of a compressor or decompressor not yet created.
// Its errors then longjmp to errors.Jump with the text in errors.Message.
jpeg_error_mgr* InstallJpegErrors(JpegErrors& errors);

// Fails as libjpeg's own errors do, through the handler installed: jumps to its Jump with
// "JPEG: " and text as its Message.
[[noreturn]] void FailJpeg(j_common_ptr info, const char* text);

}  // namespace tessimar
