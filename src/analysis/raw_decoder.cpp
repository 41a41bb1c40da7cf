#include "analysis/raw_decoder.h"

#include <libraw/libraw.h>

#include <memory>
#include <vector>

#include "analysis/file_reading.h"
#include "analysis/picture_error.h"
#include "analysis/rgb_picture.h"

namespace tessimar {
namespace {

// LibRaw refuses raw data above this; a whole picture at the pixel limit, 16 bits a sample.
constexpr unsigned MaxRawMemoryMb = 2048;

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

// damaged is set by the data error handler while unpacking.
void Develop(LibRaw& raw, const bool& damaged, RowSink& sink) {
  CheckAnnouncedSize(raw.imgdata.sizes.width, raw.imgdata.sizes.height);
  Check(raw.unpack());
  if (damaged) throw PictureError("raw: damaged raw data");
  Check(raw.dcraw_process());
  int result = LIBRAW_SUCCESS;
  const std::unique_ptr<libraw_processed_image_t, ImageFree> image(raw.dcraw_make_mem_image(&result));
  Check(result);
  if (image == nullptr) throw PictureError("raw: no developed picture");
  SendRows(*image, sink);
}

}  // namespace

bool DecodeRawIfRecognised(const std::string& fileName, RowSink& sink) {
  RequireRegularFile(fileName);
  const auto raw = std::make_unique<LibRaw>();  // far too large for the stack
  bool damaged = false;
  raw->set_dataerror_handler(OnDataError, &damaged);
  Configure(raw->imgdata.params);
  const int opened = raw->open_file(fileName.c_str());
  if (opened == LIBRAW_FILE_UNSUPPORTED) return false;
  Check(opened);
  Develop(*raw, damaged, sink);
  return true;
}

void DecodeRaw(const std::string& fileName, RowSink& sink) {
  if (!DecodeRawIfRecognised(fileName, sink)) Fail(LIBRAW_FILE_UNSUPPORTED);
}

}  // namespace tessimar
