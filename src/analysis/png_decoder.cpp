#include "analysis/png_decoder.h"

#include <png.h>

#include <array>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "analysis/alpha.h"
#include "analysis/file_stream.h"
#include "analysis/picture_error.h"
#include "analysis/rgb_picture.h"

namespace tessimar {
namespace {

struct PaletteEntry {
  std::uint8_t Red = 0, Green = 0, Blue = 0;
};
using Palette = std::array<PaletteEntry, 256>;  // indices past the stored palette stay black

// Everything the guarded reads touch; it lives in the caller's frame, so a jump out of libpng
// skips no destructor.
struct PngJob {
  png_structp Png = nullptr;
  png_infop Info = nullptr;
  FileStream& Input;
  char Message[256] = "PNG: unknown error";

  explicit PngJob(FileStream& input);
  PngJob(const PngJob&) = delete;
  PngJob& operator=(const PngJob&) = delete;
  ~PngJob() { png_destroy_read_struct(&Png, &Info, nullptr); }
};

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

PngJob::PngJob(FileStream& input) : Input(input) {
  Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, this, OnError, OnWarning);
  if (Png != nullptr) Info = png_create_info_struct(Png);
}

void RequestEightBitSamples(png_structp png, png_infop info) {
  if (png_get_bit_depth(png, info) == 16) png_set_strip_16(png);
  if (png_get_color_type(png, info) == PNG_COLOR_TYPE_PALETTE) {
    png_set_packing(png);
  } else if (png_get_bit_depth(png, info) < 8) {
    png_set_expand_gray_1_2_4_to_8(png);
  }
}

// The setjmp frames hold no object with a destructor.
bool ReadInfoGuarded(PngJob& job, bool deinterlace) {
  if (setjmp(png_jmpbuf(job.Png)) != 0) return false;
  png_set_read_fn(job.Png, &job, ReadBytes);
  png_set_user_limits(job.Png, MaxPictureSide, MaxPictureSide);
  // Only the pixels, palette and tRNS count; libpng would hold any other chunk whole, and a
  // header announcing a 2 GB text or pCAL chunk would have it allocate that much at once.
  png_set_keep_unknown_chunks(job.Png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  png_read_info(job.Png, job.Info);
  RequestEightBitSamples(job.Png, job.Info);
  if (deinterlace) png_set_interlace_handling(job.Png);
  png_read_update_info(job.Png, job.Info);
  return true;
}

bool ReadImageGuarded(PngJob& job, png_bytepp rows) {
  if (setjmp(png_jmpbuf(job.Png)) != 0) return false;
  png_read_image(job.Png, rows);
  return true;
}

bool ReadRowGuarded(PngJob& job, png_bytep row) {
  if (setjmp(png_jmpbuf(job.Png)) != 0) return false;
  png_read_row(job.Png, row, nullptr);
  return true;
}

Palette ReadPalette(png_structp png, png_infop info) {
  Palette palette{};
  png_colorp colours = nullptr;
  int count = 0;
  png_get_PLTE(png, info, &colours, &count);
  png_bytep alphas = nullptr;
  int alphaCount = 0;
  png_get_tRNS(png, info, &alphas, &alphaCount, nullptr);
  int translucent = 0;
  for (int i = 0; i < alphaCount; ++i) translucent += alphas[i] < 255 ? 1 : 0;
  for (int i = 0; i < count && i < 256; ++i) {
    // A single translucent entry is a transparent colour, which the picture ignores.
    const std::uint8_t alpha = translucent >= 2 && i < alphaCount ? alphas[i] : 255;
    palette[i] = {OverBlack(colours[i].red, alpha), OverBlack(colours[i].green, alpha),
                  OverBlack(colours[i].blue, alpha)};
  }
  return palette;
}

void ConvertRow(const std::uint8_t* in, int channels, const Palette* palette, std::uint8_t* out, std::int32_t width) {
  for (std::int32_t x = 0; x < width; ++x, in += channels, out += 3) {
    if (palette != nullptr) {
      const PaletteEntry& entry = (*palette)[in[0]];
      out[0] = entry.Red, out[1] = entry.Green, out[2] = entry.Blue;
    } else if (channels <= 2) {
      out[0] = out[1] = out[2] = channels == 2 ? OverBlack(in[0], in[1]) : in[0];
    } else {
      for (int c = 0; c < 3; ++c) out[c] = channels == 4 ? OverBlack(in[c], in[3]) : in[c];
    }
  }
}

// Rows already 8-bit RGB go to the sink as libpng leaves them; the others through one row.
class RowConverter {
 public:
  RowConverter(PngJob& job, std::int32_t width) : width_(width), channels_(png_get_channels(job.Png, job.Info)) {
    if (png_get_color_type(job.Png, job.Info) == PNG_COLOR_TYPE_PALETTE) palette_ = ReadPalette(job.Png, job.Info);
    if (palette_ || channels_ != 3) rgb_.resize(static_cast<std::size_t>(width) * 3);
  }

  const std::uint8_t* operator()(const std::uint8_t* samples) {
    if (rgb_.empty()) return samples;
    ConvertRow(samples, channels_, palette_ ? &*palette_ : nullptr, rgb_.data(), width_);
    return rgb_.data();
  }

 private:
  std::int32_t width_;
  int channels_;
  std::optional<Palette> palette_;
  std::vector<std::uint8_t> rgb_;
};

void StartJob(PngJob& job, bool deinterlace) {
  if (job.Info == nullptr) throw PictureError("PNG: cannot create the decoder");
  if (!ReadInfoGuarded(job, deinterlace)) throw PictureError(job.Message);
}

// The rows libpng returns without deinterlacing: each pass's own, passes without pixels skipped.
std::uint64_t StoredRows(std::uint32_t width, std::uint32_t height) {
  std::uint64_t rows = 0;
  for (int pass = 0; pass < 7; ++pass) {
    if (PNG_PASS_COLS(width, pass) != 0) rows += PNG_PASS_ROWS(height, pass);
  }
  return rows;
}

// Reads every stored row once through a single row, from the file's start: a cut or damaged
// file fails here, before the whole picture it announces is allocated.
void CheckInterlacedData(const OpenedFile& file) {
  const auto input = std::make_unique<FileStream>(file);
  PngJob job(*input);
  StartJob(job, false);
  const std::uint64_t rows =
      StoredRows(png_get_image_width(job.Png, job.Info), png_get_image_height(job.Png, job.Info));
  std::vector<std::uint8_t> row(png_get_rowbytes(job.Png, job.Info));
  for (std::uint64_t r = 0; r < rows; ++r) {
    if (!ReadRowGuarded(job, row.data())) throw PictureError(job.Message);
  }
}

// An interlaced picture's last pass completes its first row, so it is read whole.
void ReadInterlaced(PngJob& job, std::int32_t height, RowConverter& convert, RowSink& sink) {
  const std::size_t rowBytes = png_get_rowbytes(job.Png, job.Info);
  std::vector<std::uint8_t> samples(rowBytes * static_cast<std::size_t>(height));
  std::vector<png_bytep> rows(static_cast<std::size_t>(height));
  for (std::size_t y = 0; y < rows.size(); ++y) rows[y] = samples.data() + y * rowBytes;
  if (!ReadImageGuarded(job, rows.data())) throw PictureError(job.Message);
  for (std::int32_t y = 0; y < height; ++y) sink.Row(y, convert(rows[static_cast<std::size_t>(y)]));
}

void ReadRows(PngJob& job, std::int32_t height, RowConverter& convert, RowSink& sink) {
  std::vector<std::uint8_t> samples(png_get_rowbytes(job.Png, job.Info));
  for (std::int32_t y = 0; y < height; ++y) {
    if (!ReadRowGuarded(job, samples.data())) throw PictureError(job.Message);
    sink.Row(y, convert(samples.data()));
  }
}

}  // namespace

void DecodePng(const OpenedFile& file, RowSink& sink) {
  const auto input = std::make_unique<FileStream>(file);  // its buffer is too large for the stack
  PngJob job(*input);
  StartJob(job, true);
  const std::uint32_t width = png_get_image_width(job.Png, job.Info), height = png_get_image_height(job.Png, job.Info);
  CheckAnnouncedSize(width, height);
  const bool interlaced = png_get_interlace_type(job.Png, job.Info) != PNG_INTERLACE_NONE;
  if (interlaced) CheckInterlacedData(file);
  RowConverter convert(job, static_cast<std::int32_t>(width));
  sink.Begin(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height));
  if (interlaced) {
    ReadInterlaced(job, static_cast<std::int32_t>(height), convert, sink);
  } else {
    ReadRows(job, static_cast<std::int32_t>(height), convert, sink);
  }
}

}  // namespace tessimar
