#include "decode/raw_decoder.h"

#include <libraw/libraw.h>
#include <malloc.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "decode/picture_error.h"
#include "decode/raw_datastream.h"
#include "decode/rgb_picture.h"

namespace tessimar {
namespace {

// LibRaw refuses raw data above this; a whole picture at the pixel limit, 16 bits a sample.
constexpr unsigned MaxRawMemoryMb = 2048;

// Every code of a lossless raw's Huffman coding takes at least one bit a sample, so a raw
// announcing more than this many pixels a byte of its file would be developed mostly from
// nothing. The whole file bounds it, not the bytes after the data offset: a file may keep its
// strip or tile table after the data.
constexpr std::uint64_t MaxRawPixelsPerFileByte = 8;
// Up to this many pixels a raw is developed whatever its file holds: that costs little, and
// stripped raws, such as our own test sample, keep loading, black where no data covers them.
constexpr std::uint64_t FreeRawPixels = std::uint64_t{1} << 24;

// LibRaw reads this much of a file before it recognises anything; a shorter file is no raw.
constexpr std::uint64_t RawHeaderBytes = 64;

// dcraw_process holds four 16-bit samples a pixel, so the pixel limit keeps it within LibRaw's.
static_assert(MaxPicturePixels * 4 * sizeof(std::uint16_t) <= std::int64_t{MaxRawMemoryMb} << 20);

struct ImageFree {
  void operator()(libraw_processed_image_t* image) const { LibRaw::dcraw_clear_mem(image); }
};

[[noreturn]] void Fail(int result) { throw PictureError(std::string("raw: ") + libraw_strerror(result)); }

void Check(int result) {
  if (result != LIBRAW_SUCCESS) Fail(result);
}

// LibRaw goes on after damaged data; noting it lets the load fail instead.
void OnDataError(void* damaged, const char*, const int) { *static_cast<bool*>(damaged) = true; }

void SendRows(const libraw_processed_image_t& image, RowSink& sink) {
  if (image.type != LIBRAW_IMAGE_BITMAP || image.bits != 8 || (image.colors != 1 && image.colors != 3)) {
    throw PictureError("raw: unexpected developed picture");
  }
  CheckAnnouncedSize(image.width, image.height);
  sink.Begin(image.width, image.height);
  const std::size_t rowSamples = static_cast<std::size_t>(image.width) * image.colors;
  std::vector<std::uint8_t> gray(image.colors == 1 ? static_cast<std::size_t>(image.width) * 3 : 0);
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* in = image.data + static_cast<std::size_t>(y) * rowSamples;
    if (image.colors == 3) {
      sink.Row(y, in);
      continue;
    }
    for (std::size_t x = 0; x < rowSamples; ++x) gray[x * 3] = gray[x * 3 + 1] = gray[x * 3 + 2] = in[x];
    sink.Row(y, gray.data());
  }
}

void Configure(libraw_output_params_t& params) {
  params.max_raw_memory_mb = MaxRawMemoryMb;
  params.use_camera_wb = 1;
  params.user_flip = 0;
}

void CheckRawFitsFile(const libraw_image_sizes_t& sizes, std::uint64_t fileBytes) {
  const std::uint64_t pixels = std::uint64_t{sizes.raw_width} * sizes.raw_height;
  if (pixels > FreeRawPixels && pixels > fileBytes * MaxRawPixelsPerFileByte) {
    throw PictureError("raw: the raw data cannot fit in the file");
  }
}

// What dcraw_process allocates: the working picture, and the one it ends with, which the
// rotation of a Fuji sensor or pixels that are not square enlarge.
void CheckDevelopedSize(const LibRaw& raw) {
  CheckAnnouncedSize(raw.imgdata.sizes.iwidth, raw.imgdata.sizes.iheight);
  int width = 0, height = 0, colors = 0, bits = 0;
  raw.get_mem_image_format(&width, &height, &colors, &bits);
  CheckAnnouncedSize(width, height);
}

// The whole block, as the allocator made it: LibRaw keeps no note of its size.
void ClearRawBuffer(LibRaw& raw) {
  void* buffer = raw.imgdata.rawdata.raw_alloc;
  if (buffer != nullptr) std::memset(buffer, 0, malloc_usable_size(buffer));
}

// LibRaw takes its raw buffer from malloc, and a decoder that stops where the data does (a
// frame or strip that covers part of the picture, a tile without its marker) leaves the rest
// as the allocator had it: the picture would change from run to run. unpack allocates the
// buffer, then seeks to the raw data before decoding into it, so the buffer is cleared at
// that first seek and what no data covers develops as zeros. Buffers for whole pixels, and
// those a decoder allocates for itself, LibRaw already takes cleared.
void Unpack(LibRaw& raw, RawDatastream& input) {
  input.OnNextSeek([&raw] { ClearRawBuffer(raw); });
  const int result = raw.unpack();
  input.OnNextSeek(nullptr);
  Check(result);
}

// damaged is set by the data error handler while unpacking.
void Develop(LibRaw& raw, RawDatastream& input, std::uint64_t fileBytes, const bool& damaged, RowSink& sink) {
  CheckAnnouncedSize(raw.imgdata.sizes.width, raw.imgdata.sizes.height);
  CheckRawFitsFile(raw.imgdata.sizes, fileBytes);
  Unpack(raw, input);
  if (damaged) throw PictureError("raw: damaged raw data");
  CheckDevelopedSize(raw);
  Check(raw.dcraw_process());
  int result = LIBRAW_SUCCESS;
  const std::unique_ptr<libraw_processed_image_t, ImageFree> image(raw.dcraw_make_mem_image(&result));
  Check(result);
  if (image == nullptr) throw PictureError("raw: no developed picture");
  SendRows(*image, sink);
}

}  // namespace

bool DecodeRawIfRecognised(const OpenedFile& file, RowSink& sink) {
  if (file.Size() < RawHeaderBytes) return false;
  RawDatastream input(file);  // outlives raw, which reads it until destroyed
  const auto raw = std::make_unique<LibRaw>();  // far too large for the stack
  bool damaged = false;
  raw->set_dataerror_handler(OnDataError, &damaged);
  Configure(raw->imgdata.params);
  const int opened = raw->open_datastream(&input);
  if (opened == LIBRAW_FILE_UNSUPPORTED) return false;
  Check(opened);
  Develop(*raw, input, file.Size(), damaged, sink);
  return true;
}

void DecodeRaw(const OpenedFile& file, RowSink& sink) {
  if (!DecodeRawIfRecognised(file, sink))
    throw PictureError("raw: format not recognised (neither a camera raw nor a known picture type)");
}

}  // namespace tessimar
