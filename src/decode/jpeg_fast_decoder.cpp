#include "decode/jpeg_fast_decoder.h"

#include "decode/jpeg_colour.h"
#include "decode/jpeg_errors.h"
#include "decode/jpeg_work_limits.h"
#include "decode/picture_error.h"

namespace tessimar {
namespace {

// Everything the guarded decode touches; it lives in the caller's frame, so a jump out of
// libjpeg skips no destructor.
struct FastDecodeJob {
  JpegErrors Errors;
  JpegWorkLimits Limits;
  jpeg_decompress_struct Info{};
  const std::vector<std::uint8_t>& Data;
  int ScaleDenominator;
  RgbPicture& Picture;

  FastDecodeJob(const std::vector<std::uint8_t>& data, int scaleDenominator, RgbPicture& picture)
      : Data(data), ScaleDenominator(scaleDenominator), Picture(picture) {
    Info.err = InstallJpegErrors(Errors);
  }
  FastDecodeJob(const FastDecodeJob&) = delete;
  FastDecodeJob& operator=(const FastDecodeJob&) = delete;
  ~FastDecodeJob() { jpeg_destroy_decompress(&Info); }  // safe on a struct never created
};

bool IsCmyk(const jpeg_decompress_struct& info) {
  return info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
}

void StartDecompress(FastDecodeJob& job) {
  jpeg_decompress_struct& info = job.Info;
  jpeg_create_decompress(&info);
  info.mem->max_memory_to_use = JpegMemoryBudget;
  jpeg_mem_src(&info, job.Data.data(), static_cast<unsigned long>(job.Data.size()));
  jpeg_read_header(&info, TRUE);
  LimitJpegWork(info, job.Limits, job.Data.size());
  info.scale_num = 1;
  info.scale_denom = static_cast<unsigned>(job.ScaleDenominator);
  info.dct_method = JDCT_IFAST;
  info.do_fancy_upsampling = FALSE;
  info.do_block_smoothing = FALSE;
  // libjpeg converts gray to RGB itself, but not CMYK.
  info.out_color_space = IsCmyk(info) ? JCS_CMYK : JCS_RGB;
  jpeg_start_decompress(&info);
}

// Not inline in the guarded frame: the temporary picture has a destructor.
void AllocatePicture(FastDecodeJob& job) {
  job.Picture = MakeRgbPicture(job.Info.output_width, job.Info.output_height);
}

bool ReadRows(jpeg_decompress_struct& info, RgbPicture& picture) {
  const auto common = reinterpret_cast<j_common_ptr>(&info);
  const JSAMPARRAY cmyk =
      info.out_color_space == JCS_CMYK ? (*info.mem->alloc_sarray)(common, JPOOL_IMAGE, info.output_width * 4, 1)
                                       : nullptr;
  while (info.output_scanline < info.output_height) {
    std::uint8_t* rgb = picture.Row(static_cast<std::int32_t>(info.output_scanline));
    JSAMPROW row = cmyk ? cmyk[0] : rgb;
    if (jpeg_read_scanlines(&info, &row, 1) != 1) return false;
    if (cmyk) CmykToRgb(info, cmyk[0], rgb);
  }
  return true;
}

// The setjmp frame, and every frame libjpeg can jump out of, hold no object with a destructor.
bool DecodeGuarded(FastDecodeJob& job) {
  if (setjmp(job.Errors.Jump) != 0) return false;
  StartDecompress(job);
  AllocatePicture(job);
  if (!ReadRows(job.Info, job.Picture)) {
    std::snprintf(job.Errors.Message, sizeof job.Errors.Message, "JPEG: decoding stopped early");
    return false;
  }
  jpeg_finish_decompress(&job.Info);
  return true;
}

}  // namespace

RgbPicture DecodeJpegFast(const std::vector<std::uint8_t>& jpeg, int scaleDenominator) {
  RgbPicture picture;
  FastDecodeJob job(jpeg, scaleDenominator, picture);
  if (!DecodeGuarded(job)) throw PictureError(job.Errors.Message);
  return picture;
}

}  // namespace tessimar
