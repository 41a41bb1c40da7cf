#include "analysis/jpeg_encoder.h"

#include <jerror.h>

#include <new>

#include "analysis/jpeg_errors.h"
#include "analysis/picture_error.h"

namespace tessimar {
namespace {

constexpr int Quality = 90;
constexpr std::size_t FirstOutputSize = 64 * 1024;

// A destination that grows a vector owned by the caller.
struct VectorDestination {
  jpeg_destination_mgr Manager{};  // first member: libjpeg hands back a pointer to it
  std::vector<std::uint8_t>* Bytes = nullptr;
};

VectorDestination& DestinationOf(j_compress_ptr info) { return *reinterpret_cast<VectorDestination*>(info->dest); }

// No exception may cross libjpeg's C frames, so a failed allocation becomes a bool.
bool TryResize(std::vector<std::uint8_t>& bytes, std::size_t size) {
  try {
    bytes.resize(size);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

void InitDestination(j_compress_ptr info) {
  VectorDestination& destination = DestinationOf(info);
  if (!TryResize(*destination.Bytes, FirstOutputSize)) ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
  destination.Manager.next_output_byte = destination.Bytes->data();
  destination.Manager.free_in_buffer = destination.Bytes->size();
}

boolean GrowDestination(j_compress_ptr info) {
  VectorDestination& destination = DestinationOf(info);
  const std::size_t used = destination.Bytes->size();
  if (!TryResize(*destination.Bytes, used * 2)) ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
  destination.Manager.next_output_byte = destination.Bytes->data() + used;
  destination.Manager.free_in_buffer = destination.Bytes->size() - used;
  return TRUE;
}

void TermDestination(j_compress_ptr info) {
  VectorDestination& destination = DestinationOf(info);
  destination.Bytes->resize(destination.Bytes->size() - destination.Manager.free_in_buffer);
}

struct EncodeJob {
  JpegErrors Errors;
  jpeg_compress_struct Info{};
  VectorDestination Destination;
  const RgbPicture& Picture;

  EncodeJob(const RgbPicture& picture, std::vector<std::uint8_t>& bytes) : Picture(picture) {
    Info.err = InstallJpegErrors(Errors);
    Destination.Bytes = &bytes;
    Destination.Manager.init_destination = InitDestination;
    Destination.Manager.empty_output_buffer = GrowDestination;
    Destination.Manager.term_destination = TermDestination;
  }
  EncodeJob(const EncodeJob&) = delete;
  EncodeJob& operator=(const EncodeJob&) = delete;
  ~EncodeJob() { jpeg_destroy_compress(&Info); }  // safe on a struct never created
};

void StartCompress(EncodeJob& job) {
  jpeg_compress_struct& info = job.Info;
  jpeg_create_compress(&info);
  info.dest = &job.Destination.Manager;
  info.image_width = static_cast<JDIMENSION>(job.Picture.Width);
  info.image_height = static_cast<JDIMENSION>(job.Picture.Height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, Quality, TRUE);
  jpeg_start_compress(&info, TRUE);
}

// The setjmp frame, and every frame libjpeg can jump out of, hold no object with a destructor.
bool EncodeGuarded(EncodeJob& job) {
  if (setjmp(job.Errors.Jump) != 0) return false;
  StartCompress(job);
  while (job.Info.next_scanline < job.Info.image_height) {
    // libjpeg's row type is not const, but compression only reads the rows.
    JSAMPROW row = const_cast<JSAMPROW>(job.Picture.Row(static_cast<std::int32_t>(job.Info.next_scanline)));
    jpeg_write_scanlines(&job.Info, &row, 1);
  }
  jpeg_finish_compress(&job.Info);
  return true;
}

}  // namespace

std::vector<std::uint8_t> EncodeJpeg(const RgbPicture& picture) {
  std::vector<std::uint8_t> bytes;
  EncodeJob job(picture, bytes);
  if (!EncodeGuarded(job)) throw PictureError(job.Errors.Message);
  return bytes;
}

}  // namespace tessimar
