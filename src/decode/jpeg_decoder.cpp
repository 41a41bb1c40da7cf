#include "decode/jpeg_decoder.h"

#include <algorithm>
#include <type_traits>
#include <variant>

#include "decode/jpeg_colour.h"
#include "decode/jpeg_errors.h"
#include "decode/jpeg_file_source.h"
#include "decode/jpeg_work_limits.h"
#include "decode/picture_error.h"
#include "decode/stretch.h"

namespace tessimar {
namespace {

constexpr int GrayLevels = 236;

static_assert(std::is_trivially_destructible_v<BitmapStretcher>, "it lives in a setjmp frame");

// Everything the guarded decode touches; it lives in the caller's frame, so a jump out of
// libjpeg skips no destructor.
struct DecodeJob {
  using Input = std::variant<const std::vector<std::uint8_t>*, const OpenedFile*>;

  JpegErrors Errors;
  JpegWorkLimits Limits;
  jpeg_decompress_struct Info{};
  Input Source;
  MinimumSize Minimum;
  WorkingBitmap& Bitmap;
  PictureSize Size{};

  DecodeJob(Input source, MinimumSize minimum, WorkingBitmap& bitmap)
      : Source(source), Minimum(minimum), Bitmap(bitmap) {
    Info.err = InstallJpegErrors(Errors);
  }
  DecodeJob(const DecodeJob&) = delete;
  DecodeJob& operator=(const DecodeJob&) = delete;
  ~DecodeJob() { jpeg_destroy_decompress(&Info); }  // safe on a struct never created
};

void PaletteToRgb(const jpeg_decompress_struct& info, const JSAMPLE* indices, std::uint8_t* rgb) {
  for (JDIMENSION x = 0; x < info.output_width; ++x, rgb += 3) {
    rgb[0] = rgb[1] = rgb[2] = info.colormap[0][indices[x]];
  }
}

// A pointer to the row as RGB: the decoded row itself, or converted into spare.
const std::uint8_t* AsRgb(const jpeg_decompress_struct& info, const JSAMPLE* row, std::uint8_t* spare) {
  if (info.quantize_colors) {
    PaletteToRgb(info, row, spare);
  } else if (info.out_color_components == 4) {
    CmykToRgb(info, row, spare);
  } else {
    return row;
  }
  return spare;
}

void Configure(jpeg_decompress_struct& info, int denominator) {
  info.scale_num = 1;
  info.scale_denom = static_cast<unsigned>(denominator);
  info.dct_method = JDCT_IFAST;
  info.do_block_smoothing = TRUE;
  if (info.jpeg_color_space == JCS_GRAYSCALE) {
    info.quantize_colors = TRUE;
    info.desired_number_of_colors = GrayLevels;
    info.two_pass_quantize = FALSE;
    info.dither_mode = JDITHER_ORDERED;
  } else if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
    info.out_color_space = JCS_CMYK;
  }
}

bool ReadRows(jpeg_decompress_struct& info, BitmapStretcher& stretcher) {
  const auto common = reinterpret_cast<j_common_ptr>(&info);
  const JSAMPARRAY row = (*info.mem->alloc_sarray)(common, JPOOL_IMAGE, info.output_width * 4, 1);
  const JSAMPARRAY spare = (*info.mem->alloc_sarray)(common, JPOOL_IMAGE, info.output_width * 3, 1);
  while (info.output_scanline < info.output_height) {
    const auto y = static_cast<std::int32_t>(info.output_scanline);
    if (jpeg_read_scanlines(&info, row, 1) != 1) return false;
    stretcher.AddRow(y, AsRgb(info, row[0], spare[0]));
  }
  return true;
}

bool HasRgbRows(const jpeg_decompress_struct& info) {
  return info.quantize_colors || info.out_color_components == 3 || info.out_color_components == 4;
}

bool Fail(JpegErrors& errors, const char* text) {
  std::snprintf(errors.Message, sizeof errors.Message, "JPEG: %s", text);
  return false;
}

void StartDecompress(DecodeJob& job) {
  jpeg_decompress_struct& info = job.Info;
  jpeg_create_decompress(&info);
  info.mem->max_memory_to_use = JpegMemoryBudget;
  std::uint64_t dataBytes = 0;
  if (const auto* bytes = std::get_if<const std::vector<std::uint8_t>*>(&job.Source)) {
    jpeg_mem_src(&info, (*bytes)->data(), static_cast<unsigned long>((*bytes)->size()));
    dataBytes = (*bytes)->size();
  } else {
    const OpenedFile& file = **std::get_if<const OpenedFile*>(&job.Source);
    SetJpegFileSource(info, file);
    dataBytes = file.Size();
  }
  jpeg_read_header(&info, TRUE);
  LimitJpegWork(info, job.Limits, dataBytes);
  job.Size = {static_cast<std::int32_t>(info.image_height), static_cast<std::int32_t>(info.image_width)};
  Configure(info, ChooseScaleDenominator(job.Size, job.Minimum));
  jpeg_start_decompress(&info);
}

// The setjmp frame, and every frame libjpeg can jump out of, hold no object with a destructor.
bool DecodeGuarded(DecodeJob& job) {
  if (setjmp(job.Errors.Jump) != 0) return false;
  StartDecompress(job);
  jpeg_decompress_struct& info = job.Info;
  if (!HasRgbRows(info)) return Fail(job.Errors, "unsupported colour components");
  BitmapStretcher stretcher(job.Bitmap, static_cast<std::int32_t>(info.output_width),
                            static_cast<std::int32_t>(info.output_height));
  if (!ReadRows(info, stretcher)) return Fail(job.Errors, "decoding stopped early");
  jpeg_finish_decompress(&info);
  return true;
}

}  // namespace

int ChooseScaleDenominator(PictureSize full, MinimumSize minimum) {
  const auto exceeds = [&](std::int32_t bound) {
    return full.Height > std::max(minimum.Height, bound) && full.Width > std::max(minimum.Width, bound);
  };
  if (exceeds(1000)) return 8;
  if (exceeds(500)) return 4;
  return 1;
}

PictureSize DrawJpeg(const std::vector<std::uint8_t>& jpeg, MinimumSize minimum, WorkingBitmap& bitmap) {
  DecodeJob job(&jpeg, minimum, bitmap);
  if (!DecodeGuarded(job)) throw PictureError(job.Errors.Message);
  return job.Size;
}

PictureSize DrawJpeg(const OpenedFile& jpeg, MinimumSize minimum, WorkingBitmap& bitmap) {
  DecodeJob job(&jpeg, minimum, bitmap);
  if (!DecodeGuarded(job)) throw PictureError(job.Errors.Message);
  return job.Size;
}

}  // namespace tessimar
