#include "decode/jpeg_errors.h"

#include <cstring>

namespace tessimar {
namespace {

JpegErrors& ErrorsOf(j_common_ptr info) {
  // Manager is the first member, so its address is that of the whole JpegErrors.
  return *reinterpret_cast<JpegErrors*>(info->err);
}

[[noreturn]] void JumpOut(j_common_ptr info) {
  JpegErrors& errors = ErrorsOf(info);
  char text[JMSG_LENGTH_MAX] = {};
  (*info->err->format_message)(info, text);
  std::snprintf(errors.Message, sizeof errors.Message, "JPEG: %s", text);
  std::longjmp(errors.Jump, 1);
}

void EmitMessage(j_common_ptr info, int level) {
  if (level >= 0) return;  // trace messages
  if (++info->err->num_warnings <= MaxJpegWarnings) return;
  JpegErrors& errors = ErrorsOf(info);
  std::snprintf(errors.Message, sizeof errors.Message, "JPEG: more than %ld warnings", MaxJpegWarnings);
  std::longjmp(errors.Jump, 1);
}

}  // namespace

jpeg_error_mgr* InstallJpegErrors(JpegErrors& errors) {
  jpeg_error_mgr* manager = jpeg_std_error(&errors.Manager);
  manager->error_exit = JumpOut;
  manager->emit_message = EmitMessage;
  return manager;
}

void FailJpeg(j_common_ptr info, const char* text) {
  JpegErrors& errors = ErrorsOf(info);
  std::snprintf(errors.Message, sizeof errors.Message, "JPEG: %s", text);
  std::longjmp(errors.Jump, 1);
}

}  // namespace tessimar
