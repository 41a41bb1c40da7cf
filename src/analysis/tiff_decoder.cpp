#include "analysis/tiff_decoder.h"

#include <tiffio.h>

#include <cstdarg>
#include <cstdio>
#include <memory>

#include "analysis/file_reading.h"
#include "analysis/picture_error.h"

namespace tessimar {
namespace {

// The largest single buffer libtiff may allocate: a whole RGBA picture at the pixel limit.
constexpr tmsize_t MaxTiffAllocation = MaxPicturePixels * 4;

struct TiffMessage {
  char Text[256] = "TIFF: unknown error";
};

// Keeps the last error for the exception; returning 1 keeps it off the process-wide handler.
int OnError(TIFF*, void* user, const char* module, const char* format, va_list arguments) {
  auto& message = *static_cast<TiffMessage*>(user);
  char text[200] = {};
  std::vsnprintf(text, sizeof text, format, arguments);
  std::snprintf(message.Text, sizeof message.Text, "TIFF: %s: %s", module != nullptr ? module : "", text);
  return 1;
}

int OnWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct OptionsFree {
  void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};
struct TiffClose {
  void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

std::unique_ptr<TIFF, TiffClose> OpenTiff(const std::string& fileName, TiffMessage& message) {
  const std::unique_ptr<TIFFOpenOptions, OptionsFree> options(TIFFOpenOptionsAlloc());
  if (options == nullptr) throw PictureError("TIFF: cannot create the decoder");
  TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), MaxTiffAllocation);
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), OnError, &message);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), OnWarning, nullptr);
  std::unique_ptr<TIFF, TiffClose> tiff(TIFFOpenExt(fileName.c_str(), "r", options.get()));
  if (tiff == nullptr) throw PictureError(message.Text);
  return tiff;
}

RgbPicture ToRgb(const std::vector<std::uint32_t>& raster, std::uint32_t width, std::uint32_t height) {
  RgbPicture picture = MakeRgbPicture(width, height);
  std::uint8_t* out = picture.Pixels.data();
  for (const std::uint32_t abgr : raster) {
    *out++ = static_cast<std::uint8_t>(TIFFGetR(abgr));
    *out++ = static_cast<std::uint8_t>(TIFFGetG(abgr));
    *out++ = static_cast<std::uint8_t>(TIFFGetB(abgr));
  }
  return picture;
}

}  // namespace

RgbPicture DecodeTiff(const std::string& fileName) {
  RequireRegularFile(fileName);
  TiffMessage message;
  const auto tiff = OpenTiff(fileName, message);
  std::uint32_t width = 0, height = 0;
  if (!TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width) ||
      !TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height)) {
    throw PictureError("TIFF: the first directory has no size");
  }
  CheckAnnouncedSize(width, height);
  std::vector<std::uint32_t> raster(static_cast<std::size_t>(width) * height);
  // Asking for the file's own orientation makes libtiff flip nothing: the stored order, first
  // stored row on top, stored width and height, whatever the Orientation tag says.
  std::uint16_t orientation = ORIENTATION_TOPLEFT;
  TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_ORIENTATION, &orientation);
  if (!TIFFReadRGBAImageOriented(tiff.get(), width, height, raster.data(), orientation, 1)) {
    throw PictureError(message.Text);
  }
  return ToRgb(raster, width, height);
}

}  // namespace tessimar
