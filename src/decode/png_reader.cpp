#include "decode/png_reader.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>

#include "decode/alpha.h"
#include "decode/file_stream.h"
#include "decode/picture_error.h"
#include "decode/rgb_picture.h"

namespace tessimar {

// Everything the guarded reads touch. No frame between a setjmp and libpng's jump back holds an
// object with a destructor.
struct PngJob {
  png_structp Png = nullptr;
  png_infop Info = nullptr;
  FileStream Input;
  char Message[256] = "PNG: unknown error";

  explicit PngJob(const OpenedFile& file);
  PngJob(const PngJob&) = delete;
  PngJob& operator=(const PngJob&) = delete;
  ~PngJob() { png_destroy_read_struct(&Png, &Info, nullptr); }
};

namespace {

PngJob& JobOf(png_structp png) { return *static_cast<PngJob*>(png_get_error_ptr(png)); }

void OnError(png_structp png, png_const_charp text) {
  std::snprintf(JobOf(png).Message, sizeof JobOf(png).Message, "PNG: %s", text);
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void ReadBytes(png_structp png, png_bytep target, png_size_t size) {
  const auto got = JobOf(png).Input.Read(target, size);
  if (!got) png_error(png, "cannot read the file");
  if (*got < size) png_error(png, "unexpected end of file");
}

void RequestEightBitSamples(png_structp png, png_infop info) {
  if (png_get_bit_depth(png, info) == 16) png_set_strip_16(png);
  if (png_get_color_type(png, info) == PNG_COLOR_TYPE_PALETTE) {
    png_set_packing(png);
  } else if (png_get_bit_depth(png, info) < 8) {
    png_set_expand_gray_1_2_4_to_8(png);
  }
}

bool ReadInfoGuarded(PngJob& job) {
  if (setjmp(png_jmpbuf(job.Png)) != 0) return false;
  png_set_read_fn(job.Png, &job, ReadBytes);
  png_set_user_limits(job.Png, MaxPictureSide, MaxPictureSide);
  // Only the pixels, palette and tRNS count; libpng would hold any other chunk whole, and a
  // header announcing a 2 GB text or pCAL chunk would have it allocate that much at once.
  png_set_keep_unknown_chunks(job.Png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  png_read_info(job.Png, job.Info);
  RequestEightBitSamples(job.Png, job.Info);
  png_read_update_info(job.Png, job.Info);
  return true;
}

bool ReadRowGuarded(PngJob& job, png_bytep row) {
  if (setjmp(png_jmpbuf(job.Png)) != 0) return false;
  png_read_row(job.Png, row, nullptr);
  return true;
}

}  // namespace

PngJob::PngJob(const OpenedFile& file) : Input(file) {
  Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, this, OnError, OnWarning);
  if (Png != nullptr) Info = png_create_info_struct(Png);
}

PngReader::PngReader(const OpenedFile& file) : job_(std::make_unique<PngJob>(file)) {
  if (job_->Info == nullptr) throw PictureError("PNG: cannot create the decoder");
  if (!ReadInfoGuarded(*job_)) throw PictureError(job_->Message);
  width_ = png_get_image_width(job_->Png, job_->Info);
  height_ = png_get_image_height(job_->Png, job_->Info);
  interlaced_ = png_get_interlace_type(job_->Png, job_->Info) != PNG_INTERLACE_NONE;
  channels_ = png_get_channels(job_->Png, job_->Info);
  if (png_get_color_type(job_->Png, job_->Info) == PNG_COLOR_TYPE_PALETTE) ReadPalette();
  samples_.resize(png_get_rowbytes(job_->Png, job_->Info));
  if (palette_ || channels_ != 3) rgb_.resize(static_cast<std::size_t>(width_) * 3);
}

PngReader::~PngReader() = default;

const std::uint8_t* PngReader::ReadRow() {
  if (!ReadRowGuarded(*job_, samples_.data())) throw PictureError(job_->Message);
  return samples_.data();
}

void PngReader::ReadPalette() {
  png_colorp colours = nullptr;
  int count = 0;
  png_get_PLTE(job_->Png, job_->Info, &colours, &count);
  png_bytep alphas = nullptr;
  int alphaCount = 0;
  png_get_tRNS(job_->Png, job_->Info, &alphas, &alphaCount, nullptr);
  int translucent = 0;
  for (int i = 0; i < alphaCount; ++i) translucent += alphas[i] < 255 ? 1 : 0;
  palette_.emplace(256);
  for (int i = 0; i < count && i < 256; ++i) {
    // A single translucent entry is a transparent colour, which the picture ignores.
    const std::uint8_t alpha = translucent >= 2 && i < alphaCount ? alphas[i] : 255;
    (*palette_)[static_cast<std::size_t>(i)] = {OverBlack(colours[i].red, alpha), OverBlack(colours[i].green, alpha),
                                                OverBlack(colours[i].blue, alpha)};
  }
}

// One loop for each layout, so that none decides the layout for every pixel.
const std::uint8_t* PngReader::ToRgb(const std::uint8_t* in, std::uint32_t width) {
  if (rgb_.empty()) return in;
  std::uint8_t* out = rgb_.data();
  if (palette_) {
    for (std::uint32_t x = 0; x < width; ++x, out += 3) {
      const PaletteEntry& entry = (*palette_)[in[x]];
      out[0] = entry.Red, out[1] = entry.Green, out[2] = entry.Blue;
    }
  } else if (channels_ == 1) {
    for (std::uint32_t x = 0; x < width; ++x, out += 3) out[0] = out[1] = out[2] = in[x];
  } else if (channels_ == 2) {
    for (std::uint32_t x = 0; x < width; ++x, in += 2, out += 3) out[0] = out[1] = out[2] = OverBlack(in[0], in[1]);
  } else {
    for (std::uint32_t x = 0; x < width; ++x, in += 4, out += 3) {
      out[0] = OverBlack(in[0], in[3]), out[1] = OverBlack(in[1], in[3]), out[2] = OverBlack(in[2], in[3]);
    }
  }
  return rgb_.data();
}

}  // namespace tessimar
