#include "decode/tiff_decoder.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <memory>
#include <vector>

#include "decode/file_stream.h"
#include "decode/picture_error.h"
#include "decode/rgb_picture.h"
#include "decode/tiff_strips.h"

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

FileStream& StreamOf(thandle_t handle) { return *static_cast<FileStream*>(handle); }

tmsize_t ReadProc(thandle_t handle, void* data, tmsize_t size) {
  const auto got = StreamOf(handle).Read(static_cast<std::uint8_t*>(data), static_cast<std::size_t>(size));
  return got ? static_cast<tmsize_t>(*got) : -1;
}

tmsize_t WriteProc(thandle_t, void*, tmsize_t) { return -1; }

// libtiff passes a backward move as a wrapped unsigned offset.
toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
  FileStream& stream = StreamOf(handle);
  if (!stream.Seek(static_cast<std::int64_t>(offset), whence)) return static_cast<toff_t>(-1);
  return stream.Tell();
}

int CloseProc(thandle_t) { return 0; }
toff_t SizeProc(thandle_t handle) { return StreamOf(handle).Size(); }

// No mapping: a file that shrinks under a mapping raises SIGBUS.
int MapProc(thandle_t, void**, toff_t*) { return 0; }
void UnmapProc(thandle_t, void*, toff_t) {}

std::unique_ptr<TIFF, TiffClose> OpenTiff(FileStream& stream, TiffMessage& message) {
  const std::unique_ptr<TIFFOpenOptions, OptionsFree> options(TIFFOpenOptionsAlloc());
  if (options == nullptr) throw PictureError("TIFF: cannot create the decoder");
  TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), MaxTiffAllocation);
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), OnError, &message);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), OnWarning, nullptr);
  // "m": read strips into libtiff's buffer rather than map the whole file, which would stay
  // resident for as long as the picture is read.
  std::unique_ptr<TIFF, TiffClose> tiff(TIFFClientOpenExt("the file", "rm", &stream, ReadProc, WriteProc, SeekProc,
                                                          CloseProc, SizeProc, MapProc, UnmapProc, options.get()));
  if (tiff == nullptr) throw PictureError(message.Text);
  return tiff;
}

struct ImageEnd {
  void operator()(TIFFRGBAImage* image) const { TIFFRGBAImageEnd(image); }
};

// Bands of whole strips or tiles, so that no strip is decoded twice, and of this many rows at
// least, so that a picture of short strips does not pay the reader's set-up for each.
constexpr std::uint32_t LeastBandRows = 64;

std::uint32_t BandRows(TIFF* tiff, std::uint32_t height) {
  std::uint32_t unit = 0;
  if (TIFFIsTiled(tiff)) {
    TIFFGetField(tiff, TIFFTAG_TILELENGTH, &unit);
  } else {
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &unit);
  }
  if (unit == 0 || unit >= height) return height;
  const std::uint32_t units = (LeastBandRows + unit - 1) / unit;
  return unit > height / units ? height : unit * units;
}

void ToRgb(const std::uint32_t* abgr, std::uint32_t width, std::uint8_t* rgb) {
  for (std::uint32_t x = 0; x < width; ++x, rgb += 3) {
    rgb[0] = static_cast<std::uint8_t>(TIFFGetR(abgr[x]));
    rgb[1] = static_cast<std::uint8_t>(TIFFGetG(abgr[x]));
    rgb[2] = static_cast<std::uint8_t>(TIFFGetB(abgr[x]));
  }
}

// The RGBA reader, band after band from row_offset; what TIFFReadRGBAImageOriented does for
// the whole picture at once.
void ReadBands(TIFF* tiff, TIFFRGBAImage& image, std::uint32_t width, std::uint32_t height, RowSink& sink,
               const TiffMessage& message) {
  const std::uint32_t band = BandRows(tiff, height);
  std::vector<std::uint32_t> raster(static_cast<std::size_t>(width) * band);
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * 3);
  for (std::uint32_t top = 0; top < height; top += band) {
    const std::uint32_t rows = std::min(band, height - top);
    image.row_offset = static_cast<int>(top);
    if (!TIFFRGBAImageGet(&image, raster.data(), width, rows)) throw PictureError(message.Text);
    for (std::uint32_t r = 0; r < rows; ++r) {
      ToRgb(raster.data() + static_cast<std::size_t>(r) * width, width, rgb.data());
      sink.Row(static_cast<std::int32_t>(top + r), rgb.data());
    }
  }
}

// A band of whole strips or tiles costs a raster of four bytes a pixel, and libtiff a decoded
// strip or tile beside it. Past this a picture of tall strips is read a row at a time instead
// where it can be, and otherwise only if its strips or tiles hold data enough.
constexpr std::uint64_t MostBandBytes = std::uint64_t{64} << 20;

std::uint64_t BandRasterBytes(TIFF* tiff, std::uint32_t width, std::uint32_t height) {
  return std::uint64_t{width} * BandRows(tiff, height) * 4;
}

// Where reading a row and converting it with the reader's own routine gives the rows the band
// reader gives: packed strips whose conversion takes one row at a time. Subsampled YCbCr takes
// several rows at once, and JPEG strips are left to the reader as they always were.
bool ReadsByRows(TIFF* tiff, const TIFFRGBAImage& image, std::uint32_t width, std::uint32_t height) {
  std::uint16_t compression = COMPRESSION_NONE;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
  return BandRasterBytes(tiff, width, height) > MostBandBytes && !TIFFIsTiled(tiff) && image.isContig &&
         image.photometric != PHOTOMETRIC_YCBCR && compression != COMPRESSION_JPEG && compression != COMPRESSION_OJPEG;
}

// A band read whole costs its raster and a decoded strip or tile.
void CheckLargeBandsHoldData(TIFF* tiff, std::uint32_t width, std::uint32_t height) {
  const std::uint64_t raster = BandRasterBytes(tiff, width, height);
  if (raster <= MostBandBytes) return;
  CheckStripsHoldData(tiff, raster + (TIFFIsTiled(tiff) ? TIFFTileSize64(tiff) : TIFFStripSize64(tiff)));
}

// Each row decoded as it comes from its strip, then converted as the band reader converts it.
void ReadRows(TIFF* tiff, TIFFRGBAImage& image, std::uint32_t width, std::uint32_t height, RowSink& sink,
              const TiffMessage& message) {
  std::vector<std::uint8_t> samples(static_cast<std::size_t>(TIFFScanlineSize64(tiff)));
  std::vector<std::uint32_t> raster(width);
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * 3);
  for (std::uint32_t y = 0; y < height; ++y) {
    if (TIFFReadScanline(tiff, samples.data(), y, 0) < 0) throw PictureError(message.Text);
    image.put.contig(&image, raster.data(), 0, y, width, 1, 0, 0, samples.data());
    ToRgb(raster.data(), width, rgb.data());
    sink.Row(static_cast<std::int32_t>(y), rgb.data());
  }
}

}  // namespace

void DecodeTiff(const OpenedFile& file, RowSink& sink) {
  const auto stream = std::make_unique<FileStream>(file);
  TiffMessage message;
  const auto tiff = OpenTiff(*stream, message);
  std::uint32_t width = 0, height = 0;
  if (!TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width) ||
      !TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height)) {
    throw PictureError("TIFF: the first directory has no size");
  }
  CheckAnnouncedSize(width, height);
  CheckStripsPresent(tiff.get());
  TIFFRGBAImage image{};
  char reason[1024] = {};
  if (!TIFFRGBAImageOK(tiff.get(), reason) || !TIFFRGBAImageBegin(&image, tiff.get(), 1, reason)) {
    throw PictureError(std::string("TIFF: ") + reason);
  }
  const std::unique_ptr<TIFFRGBAImage, ImageEnd> end(&image);
  // Asking for the file's own orientation makes libtiff flip nothing: the stored order, first
  // stored row on top, stored width and height, whatever the Orientation tag says.
  image.req_orientation = image.orientation;
  const bool byRows = ReadsByRows(tiff.get(), image, width, height);
  if (!byRows) CheckLargeBandsHoldData(tiff.get(), width, height);
  sink.Begin(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height));
  if (byRows) return ReadRows(tiff.get(), image, width, height, sink, message);
  ReadBands(tiff.get(), image, width, height, sink, message);
}

}  // namespace tessimar
