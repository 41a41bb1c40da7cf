#include "picture_fixtures.h"

#include <png.h>
#include <tiffio.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "file_state.h"
#include "temp_folder.h"

namespace tessimar::testing {
namespace {

std::vector<std::uint8_t*> RowPointers(std::vector<std::uint8_t>& samples, std::size_t rowBytes, int height) {
  std::vector<std::uint8_t*> rows;
  for (int y = 0; y < height; ++y) rows.push_back(samples.data() + static_cast<std::size_t>(y) * rowBytes);
  return rows;
}

void AppendPng(png_structp png, png_bytep data, png_size_t size) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), size);
}

int AppendGif(GifFileType* gif, const GifByteType* data, int size) {
  static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(data), static_cast<std::size_t>(size));
  return size;
}

// giflib's colour tables hold a power of two entries; missing ones are black.
ColorMapObject* MakeColourMap(const std::vector<Rgb>& colours) {
  if (colours.empty()) return nullptr;
  int size = 2;
  while (size < static_cast<int>(colours.size())) size *= 2;
  std::vector<GifColorType> entries(static_cast<std::size_t>(size), GifColorType{0, 0, 0});
  for (std::size_t i = 0; i < colours.size(); ++i) entries[i] = {colours[i].R, colours[i].G, colours[i].B};
  return GifMakeMapObject(size, entries.data());
}

void Expect(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("fixture: ") + what);
}

void PutGifFrame(GifFileType* gif, const GifFrame& frame) {
  if (frame.Transparent != NO_TRANSPARENT_COLOR) {
    GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, frame.Transparent};
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    Expect(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension) == GIF_OK, "GIF extension");
  }
  ColorMapObject* local = MakeColourMap(frame.LocalColours);
  const int put = EGifPutImageDesc(gif, frame.Left, frame.Top, frame.Width, frame.Height, frame.Interlaced, local);
  GifFreeMapObject(local);
  Expect(put == GIF_OK, "GIF frame");
  std::vector<int> order;
  const int starts[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2};
  for (int pass = 0; pass < (frame.Interlaced ? 4 : 1); ++pass) {
    for (int y = frame.Interlaced ? starts[pass] : 0; y < frame.Height; y += frame.Interlaced ? steps[pass] : 1)
      order.push_back(y);
  }
  std::vector<std::uint8_t> indices = frame.Indices;
  for (const int y : order) {
    Expect(EGifPutLine(gif, indices.data() + static_cast<std::size_t>(y) * frame.Width, frame.Width) == GIF_OK,
           "GIF line");
  }
}

}  // namespace

Image MakeImage(int width, int height, int channels, const std::function<std::vector<std::uint8_t>(int, int)>& sample) {
  Image image{width, height, channels, {}};
  image.Samples.reserve(static_cast<std::size_t>(width) * height * channels);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::vector<std::uint8_t> pixel = sample(x, y);
      image.Samples.insert(image.Samples.end(), pixel.begin(), pixel.end());
    }
  }
  return image;
}

Image TwoColour(int width, int height, int boundary, Rgb left, Rgb right) {
  return MakeImage(width, height, 3, [&](int x, int) {
    const Rgb c = x < boundary ? left : right;
    return std::vector<std::uint8_t>{c.R, c.G, c.B};
  });
}

std::string JpegBytes(const Image& image, const JpegOptions& options) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(image.Width);
  info.image_height = static_cast<JDIMENSION>(image.Height);
  info.input_components = image.Channels;
  info.in_color_space = image.Channels == 1 ? JCS_GRAYSCALE : image.Channels == 4 ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&info);
  if (options.Stored != JCS_UNKNOWN) jpeg_set_colorspace(&info, options.Stored);
  info.write_Adobe_marker = options.AdobeMarker && image.Channels == 4;
  jpeg_set_quality(&info, options.Quality, TRUE);
  if (options.Progressive) jpeg_simple_progression(&info);
  if (!options.Scans.empty()) {
    info.scan_info = options.Scans.data();
    info.num_scans = static_cast<int>(options.Scans.size());
  }
  jpeg_start_compress(&info, TRUE);
  std::vector<std::uint8_t> samples = image.Samples;
  std::vector<std::uint8_t*> rows =
      RowPointers(samples, static_cast<std::size_t>(image.Width) * image.Channels, image.Height);
  jpeg_write_scanlines(&info, rows.data(), static_cast<JDIMENSION>(rows.size()));
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::string bytes(reinterpret_cast<const char*>(buffer), size);
  std::free(buffer);
  return bytes;
}

std::string PngBytes(int width, int height, const std::vector<std::uint8_t>& rows, const PngOptions& options) {
  std::string bytes;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &bytes, AppendPng, nullptr);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), options.BitDepth,
               options.ColorType, options.Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> palette;
  for (const Rgb& c : options.Palette) palette.push_back({c.R, c.G, c.B});
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  png_color_16 transparent{};
  if (options.TransparentColour.size() == 1) transparent.gray = options.TransparentColour[0];
  if (options.TransparentColour.size() == 3) {
    transparent.red = options.TransparentColour[0], transparent.green = options.TransparentColour[1];
    transparent.blue = options.TransparentColour[2];
  }
  if (!options.PaletteAlpha.empty() || !options.TransparentColour.empty()) {
    png_set_tRNS(png, info, options.PaletteAlpha.data(), static_cast<int>(options.PaletteAlpha.size()), &transparent);
  }
  if (options.Gamma > 0) png_set_gAMA(png, info, options.Gamma);
  png_write_info(png, info);
  std::vector<std::uint8_t> samples = rows;
  std::vector<std::uint8_t*> pointers = RowPointers(samples, samples.size() / static_cast<std::size_t>(height), height);
  png_write_image(png, pointers.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return bytes;
}

std::string PngBytes(const Image& image) {
  PngOptions options;
  options.ColorType = image.Channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
  return PngBytes(image.Width, image.Height, image.Samples, options);
}

std::string GifBytes(const GifOptions& options) {
  std::string bytes;
  int error = 0;
  GifFileType* gif = EGifOpen(&bytes, AppendGif, &error);
  Expect(gif != nullptr, "GIF open");
  EGifSetGifVersion(gif, true);
  ColorMapObject* global = MakeColourMap(options.GlobalColours);
  const int put = EGifPutScreenDesc(gif, options.ScreenWidth, options.ScreenHeight, 8, options.Background, global);
  GifFreeMapObject(global);
  Expect(put == GIF_OK, "GIF screen");
  for (const GifFrame& frame : options.Frames) PutGifFrame(gif, frame);
  Expect(EGifCloseFile(gif, &error) == GIF_OK, "GIF close");
  return bytes;
}

GifFrame TwoIndexFrame(int width, int height, int boundary, std::uint8_t left, std::uint8_t right) {
  GifFrame frame{0, 0, width, height, false, {}, {}, NO_TRANSPARENT_COLOR};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) frame.Indices.push_back(x < boundary ? left : right);
  }
  return frame;
}

std::string TiffBytes(const Image& image, const TiffOptions& options) {
  const TempFolder folder;
  const std::string path = folder / "fixture.tif";
  TIFF* tiff = TIFFOpen(path.c_str(), options.BigEndian ? "wb" : "wl");
  Expect(tiff != nullptr, "TIFF open");
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(image.Width));
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(image.Height));
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, image.Channels);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 8);
  TIFFSetField(tiff, TIFFTAG_ORIENTATION, options.Orientation);
  if (image.Channels == 4) {
    const std::uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
    TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, extra);
  }
  std::vector<std::uint8_t> samples = image.Samples;
  const std::size_t rowBytes = static_cast<std::size_t>(image.Width) * image.Channels;
  for (int y = 0; y < image.Height; ++y)
    TIFFWriteScanline(tiff, samples.data() + y * rowBytes, static_cast<std::uint32_t>(y), 0);
  TIFFClose(tiff);
  return ReadFileBytes(path);
}

}  // namespace tessimar::testing
