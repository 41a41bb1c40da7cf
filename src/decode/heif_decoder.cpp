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
// with alpha at most eight samples a pixel.
constexpr std::uint64_t SamplesPerPixelDecoding = 8;

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
  if (error.code != heif_error_Ok) throw PictureError(std::string("HEIF: ") + error.message);
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

// The decoded picture: interleaved RGB or RGBA, 8 bits a sample or, above 8 bits, 16 bits
// little-endian holding the stored bits.
struct Samples {
  const std::uint8_t* Rows = nullptr;
  int Stride = 0;
  int Bits = 8;
  bool Alpha = false;
  bool Premultiplied = false;
};

// The pictures libheif would decode, as measured, with their samples as deep as deep says.
void CheckCost(const HeifCost& cost, bool deep, std::uint64_t dataBytes) {
  CheckDecodingCost("HEIF", cost.LargestPixels, SamplesPerPixelDecoding * (deep ? 2 : 1), dataBytes);
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

Image DecodePicture(const heif_image_handle& handle) {
  const bool deep = heif_image_handle_get_luma_bits_per_pixel(&handle) > 8;
  const bool alpha = heif_image_handle_has_alpha_channel(&handle) != 0;
  const heif_chroma chroma = deep ? (alpha ? heif_chroma_interleaved_RRGGBBAA_LE : heif_chroma_interleaved_RRGGBB_LE)
                                  : (alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB);
  const std::unique_ptr<heif_decoding_options, OptionsFree> options(heif_decoding_options_alloc());
  heif_image* image = nullptr;
  Check(heif_decode_image(&handle, &image, heif_colorspace_RGB, chroma, options.get()));
  return Image(image);
}

Samples SamplesOf(heif_image& image, const heif_image_handle& handle) {
  Samples samples;
  samples.Rows = heif_image_get_plane_readonly(&image, heif_channel_interleaved, &samples.Stride);
  if (samples.Rows == nullptr) throw PictureError("HEIF: the decoder returned no pixels");
  samples.Bits = heif_image_get_bits_per_pixel_range(&image, heif_channel_interleaved);
  if (samples.Bits < 8 || samples.Bits > 16) throw PictureError("HEIF: unsupported sample depth");
  const heif_chroma chroma = heif_image_get_chroma_format(&image);
  samples.Alpha = chroma == heif_chroma_interleaved_RGBA || chroma == heif_chroma_interleaved_RRGGBBAA_LE;
  samples.Premultiplied = samples.Alpha && heif_image_handle_is_premultiplied_alpha(&handle) != 0;
  return samples;
}

std::uint8_t HighByte(const std::uint8_t* sample, int bits) {
  if (bits == 8) return sample[0];
  return static_cast<std::uint8_t>((sample[0] | sample[1] << 8) >> (bits - 8));
}

// A premultiplied colour is composited over black already.
std::uint8_t Composited(std::uint8_t colour, std::uint8_t alpha, bool premultiplied) {
  return premultiplied ? colour : OverBlack(colour, alpha);
}

void ToRgb(const Samples& samples, const std::uint8_t* in, int width, std::uint8_t* out) {
  const int sampleBytes = samples.Bits > 8 ? 2 : 1;
  const int channels = samples.Alpha ? 4 : 3;
  for (int x = 0; x < width; ++x, in += channels * sampleBytes, out += 3) {
    for (int c = 0; c < 3; ++c) out[c] = HighByte(in + c * sampleBytes, samples.Bits);
    if (!samples.Alpha) continue;
    const std::uint8_t alpha = HighByte(in + 3 * sampleBytes, samples.Bits);
    for (int c = 0; c < 3; ++c) out[c] = Composited(out[c], alpha, samples.Premultiplied);
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
  const bool asStored = samples.Bits == 8 && !samples.Alpha;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* stored = samples.Rows + static_cast<std::ptrdiff_t>(y) * samples.Stride;
    if (!asStored) ToRgb(samples, stored, width, row.data());
    sink.Row(y, asStored ? stored : row.data());
  }
}

}  // namespace tessimar
