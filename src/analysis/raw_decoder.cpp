#include "analysis/raw_decoder.h"

#include <libraw/libraw.h>

#include <memory>
#include <optional>
#include <utility>

#include "analysis/file_reading.h"
#include "analysis/picture_error.h"

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

RgbPicture ToRgb(const libraw_processed_image_t& image) {
  if (image.type != LIBRAW_IMAGE_BITMAP || image.bits != 8 || (image.colors != 1 && image.colors != 3)) {
    throw PictureError("raw: unexpected developed picture");
  }
  RgbPicture picture = MakeRgbPicture(image.width, image.height);
  const std::uint8_t* in = image.data;
  for (std::size_t i = 0; i < picture.Pixels.size(); i += 3, in += image.colors) {
    for (int c = 0; c < 3; ++c) picture.Pixels[i + c] = in[image.colors == 3 ? c : 0];
  }
  return picture;
}

void Configure(libraw_output_params_t& params) {
  params.max_raw_memory_mb = MaxRawMemoryMb;
  params.use_camera_wb = 1;
  params.user_flip = 0;
}

// damaged is set by the data error handler while unpacking.
RgbPicture Develop(LibRaw& raw, const bool& damaged) {
  CheckAnnouncedSize(raw.imgdata.sizes.width, raw.imgdata.sizes.height);
  Check(raw.unpack());
  if (damaged) throw PictureError("raw: damaged raw data");
  Check(raw.dcraw_process());
  int result = LIBRAW_SUCCESS;
  const std::unique_ptr<libraw_processed_image_t, ImageFree> image(raw.dcraw_make_mem_image(&result));
  Check(result);
  if (image == nullptr) throw PictureError("raw: no developed picture");
  return ToRgb(*image);
}

}  // namespace

std::optional<RgbPicture> DecodeRawIfRecognised(const std::string& fileName) {
  RequireRegularFile(fileName);
  const auto raw = std::make_unique<LibRaw>();  // far too large for the stack
  bool damaged = false;
  raw->set_dataerror_handler(OnDataError, &damaged);
  Configure(raw->imgdata.params);
  const int opened = raw->open_file(fileName.c_str());
  if (opened == LIBRAW_FILE_UNSUPPORTED) return std::nullopt;
  Check(opened);
  return Develop(*raw, damaged);
}

RgbPicture DecodeRaw(const std::string& fileName) {
  std::optional<RgbPicture> picture = DecodeRawIfRecognised(fileName);
  if (!picture) Fail(LIBRAW_FILE_UNSUPPORTED);
  return std::move(*picture);
}

}  // namespace tessimar
