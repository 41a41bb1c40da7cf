#include "decode/heif_decoder.h"

#include <libheif/heif.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "decode/alpha.h"
#include "decode/decoding_budget.h"
#include "decode/file_stream.h"
#include "decode/heif_cost.h"
#include "decode/picture_error.h"
#include "decode/rgb_picture.h"

namespace tessimar {
namespace {

// libheif holds the coded planes, the planes transformed and the interleaved samples at once,
// with alpha at most eight bytes a pixel; samples of more than 8 bits take two bytes until
// they are brought down to 8 (measured: 7.5 and 12 bytes a pixel).
constexpr std::uint64_t BytesPerPixelDecoding = 8, BytesPerPixelDecodingDeep = 16;

struct ContextFree {
  void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleRelease {
  void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ImageRelease {
  void operator()(heif_image* image) const { heif_image_release(image); }
};
struct OptionsFree {
  void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};
using Context = std::unique_ptr<heif_context, ContextFree>;
using Handle = std::unique_ptr<heif_image_handle, HandleRelease>;
using Image = std::unique_ptr<heif_image, ImageRelease>;

void Check(const heif_error& error) {
  if (error.code == heif_error_Ok) return;
  std::string message = error.message;
  message.erase(message.find_last_not_of(" \n") + 1);  // some of libheif's end in a line break
  throw PictureError("HEIF: " + message);
}

// libheif's reader, on the one descriptor of the opened file.
FileStream& StreamOf(void* stream) { return *static_cast<FileStream*>(stream); }

std::int64_t Position(void* stream) { return static_cast<std::int64_t>(StreamOf(stream).Tell()); }

int Read(void* data, std::size_t size, void* stream) {
  const auto got = StreamOf(stream).Read(static_cast<std::uint8_t*>(data), size);
  return got && *got == size ? 0 : 1;
}

int Seek(std::int64_t position, void* stream) { return StreamOf(stream).Seek(position, SEEK_SET) ? 0 : 1; }

heif_reader_grow_status WaitForFileSize(std::int64_t size, void* stream) {
  return size >= 0 && static_cast<std::uint64_t>(size) <= StreamOf(stream).Size()
             ? heif_reader_grow_status_size_reached
             : heif_reader_grow_status_size_beyond_eof;
}

constexpr heif_reader FileReader{1, Position, Read, Seek, WaitForFileSize};

Context ReadContext(FileStream& stream) {
  // Once for the process, before any worker decodes: libheif's own start on first use reads
  // its counter of starts without a lock.
  static const heif_error started = heif_init(nullptr);
  Check(started);
  Context context(heif_context_alloc());
  if (!context) throw PictureError("HEIF: cannot create the decoder");
  heif_context_set_maximum_image_size_limit(context.get(), static_cast<int>(MaxPictureSide));
  // A scan decodes a picture on each core already.
  heif_context_set_max_decoding_threads(context.get(), 0);
  Check(heif_context_read_from_reader(context.get(), &FileReader, &stream, nullptr));
  return context;
}

Handle PrimaryPicture(heif_context& context) {
  heif_image_handle* handle = nullptr;
  Check(heif_context_get_primary_image_handle(&context, &handle));
  return Handle(handle);
}

// The decoded picture: interleaved RGB or RGBA, 8 bits a sample.
struct Samples {
  const std::uint8_t* Rows = nullptr;
  int Stride = 0;
  bool Alpha = false;
  bool Premultiplied = false;
};

// The pictures libheif would decode, as measured, with their samples as deep as deep says.
void CheckCost(const HeifCost& cost, bool deep, std::uint64_t dataBytes) {
  CheckDecodingCost("HEIF", cost.LargestPixels, deep ? BytesPerPixelDecodingDeep : BytesPerPixelDecoding, dataBytes);
  CheckDecodingWork("HEIF", cost.Work, dataBytes);
}

// Again with libheif's own view of the primary picture: its size and the depth of its samples.
void CheckHandle(const heif_image_handle& handle, HeifCost cost, std::uint64_t dataBytes) {
  const int width = heif_image_handle_get_width(&handle);
  const int height = heif_image_handle_get_height(&handle);
  CheckAnnouncedSize(width, height);
  cost.LargestPixels = std::max(cost.LargestPixels, std::uint64_t(width) * std::uint64_t(height));
  CheckCost(cost, cost.Deep || heif_image_handle_get_luma_bits_per_pixel(&handle) > 8, dataBytes);
}

// Deeper samples are brought down to their high 8 bits by libheif, which then holds no second
// picture of 16-bit samples.
Image DecodePicture(const heif_image_handle& handle) {
  const bool alpha = heif_image_handle_has_alpha_channel(&handle) != 0;
  const heif_chroma chroma = alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB;
  const std::unique_ptr<heif_decoding_options, OptionsFree> options(heif_decoding_options_alloc());
  options->convert_hdr_to_8bit = 1;
  heif_image* image = nullptr;
  Check(heif_decode_image(&handle, &image, heif_colorspace_RGB, chroma, options.get()));
  return Image(image);
}

Samples SamplesOf(heif_image& image, const heif_image_handle& handle) {
  Samples samples;
  samples.Rows = heif_image_get_plane_readonly(&image, heif_channel_interleaved, &samples.Stride);
  if (samples.Rows == nullptr) throw PictureError("HEIF: the decoder returned no pixels");
  if (heif_image_get_bits_per_pixel_range(&image, heif_channel_interleaved) != 8)
    throw PictureError("HEIF: unsupported sample depth");
  samples.Alpha = heif_image_get_chroma_format(&image) == heif_chroma_interleaved_RGBA;
  samples.Premultiplied = samples.Alpha && heif_image_handle_is_premultiplied_alpha(&handle) != 0;
  return samples;
}

// A premultiplied colour is composited over black already.
std::uint8_t Composited(std::uint8_t colour, std::uint8_t alpha, bool premultiplied) {
  return premultiplied ? colour : OverBlack(colour, alpha);
}

// RGBA samples to RGB over black.
void ToRgb(const Samples& samples, const std::uint8_t* in, int width, std::uint8_t* out) {
  for (int x = 0; x < width; ++x, in += 4, out += 3) {
    for (int c = 0; c < 3; ++c) out[c] = Composited(in[c], in[3], samples.Premultiplied);
  }
}

}  // namespace

void DecodeHeif(const OpenedFile& file, RowSink& sink) {
  const HeifCost cost = MeasureHeifDecoding(file);
  CheckCost(cost, cost.Deep, file.Size());  // before libheif reads anything
  FileStream stream(file);
  const Context context = ReadContext(stream);
  const Handle handle = PrimaryPicture(*context);
  CheckHandle(*handle, cost, file.Size());
  const Image image = DecodePicture(*handle);
  const Samples samples = SamplesOf(*image, *handle);
  const int width = heif_image_get_width(image.get(), heif_channel_interleaved);
  const int height = heif_image_get_height(image.get(), heif_channel_interleaved);
  CheckAnnouncedSize(width, height);
  sink.Begin(width, height);
  std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 3);
  const bool asStored = !samples.Alpha;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* stored = samples.Rows + static_cast<std::ptrdiff_t>(y) * samples.Stride;
    if (!asStored) ToRgb(samples, stored, width, row.data());
    sink.Row(y, asStored ? stored : row.data());
  }
}

}  // namespace tessimar
