// Where the time of loading a large picture goes: each file's decoder alone (rows to a sink that
// only reads them), the same with the rows encoded as the quality-90 JPEG, the decoding of that
// JPEG into the working bitmap, and LoadPicture as it runs, which at 1/8 scale needs no JPEG.
// Beside them libpng alone reads each PNG to rows, the floor a PNG load can reach, and libheif
// or libwebp alone decodes each HEIC, AVIF or WebP file whole, the floor of those; for every
// file LoadPicture and the signature together are timed against that floor.
// Usage: decode_bench FILE... (the type by extension); prints milliseconds, the median of runs.
#include <libheif/heif.h>
#include <png.h>
#include <webp/decode.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "decode/bmp_decoder.h"
#include "decode/file_reading.h"
#include "analysis/picture_signature.h"
#include "decode/gif_decoder.h"
#include "decode/heif_decoder.h"
#include "decode/jpeg_decoder.h"
#include "decode/jpeg_encoder.h"
#include "decode/picture_loader.h"
#include "decode/png_decoder.h"
#include "decode/tiff_decoder.h"
#include "decode/webp_decoder.h"
#include "platform/path_text.h"

namespace tessimar {
namespace {

constexpr int Runs = 9;

// The median milliseconds of each piece of work, the pieces taking turns run by run, so that
// a machine busier at one moment than another slows them all alike.
std::vector<double> MedianMilliseconds(const std::vector<std::function<void()>>& works) {
  std::vector<std::vector<double>> times(works.size());
  for (int run = 0; run < Runs; ++run) {
    for (std::size_t i = 0; i < works.size(); ++i) {
      const auto start = std::chrono::steady_clock::now();
      works[i]();
      times[i].push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
  }
  std::vector<double> medians;
  for (std::vector<double>& t : times) {
    std::sort(t.begin(), t.end());
    medians.push_back(t[Runs / 2]);
  }
  return medians;
}

// Reads every row once, so that the decoder's work cannot be skipped.
class ReadingSink final : public RowSink {
 public:
  void Begin(std::int32_t width, std::int32_t) override { width_ = width; }
  void Row(std::int32_t, const std::uint8_t* rgb) override {
    for (std::int32_t x = 0; x < width_ * 3; x += 64) total_ += rgb[x];
  }
  unsigned Total() const { return total_; }

 private:
  std::int32_t width_ = 0;
  unsigned total_ = 0;
};

// libpng's own loop: open, read the rows one by one, nothing else. The setjmp frames hold
// no object with a destructor.
struct LibpngReader {
  png_structp Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop Info = png_create_info_struct(Png);
  ~LibpngReader() { png_destroy_read_struct(&Png, &Info, nullptr); }
};

bool ReadInfoGuarded(LibpngReader& reader, std::FILE* file) {
  if (setjmp(png_jmpbuf(reader.Png)) != 0) return false;
  png_init_io(reader.Png, file);
  png_read_info(reader.Png, reader.Info);
  if (png_get_bit_depth(reader.Png, reader.Info) == 16) png_set_strip_16(reader.Png);
  png_read_update_info(reader.Png, reader.Info);
  return true;
}

bool ReadRowsGuarded(LibpngReader& reader, png_bytep row) {
  if (setjmp(png_jmpbuf(reader.Png)) != 0) return false;
  for (std::uint32_t y = 0; y < png_get_image_height(reader.Png, reader.Info); ++y)
    png_read_row(reader.Png, row, nullptr);
  return true;
}

void LibpngRows(const std::string& fileName) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(fileName.c_str(), "rb"), std::fclose);
  if (file == nullptr) throw std::runtime_error("cannot open " + fileName);
  LibpngReader reader;
  if (!ReadInfoGuarded(reader, file.get())) throw std::runtime_error("libpng failed on " + fileName);
  std::vector<std::uint8_t> row(png_get_rowbytes(reader.Png, reader.Info));
  if (!ReadRowsGuarded(reader, row.data())) throw std::runtime_error("libpng failed on " + fileName);
}

// libheif's own way to a picture: the file, its primary picture, interleaved RGB, on the
// calling thread as a scan decodes it.
void LibheifWhole(const std::string& fileName) {
  const std::unique_ptr<heif_context, void (*)(heif_context*)> context(heif_context_alloc(), heif_context_free);
  heif_context_set_max_decoding_threads(context.get(), 0);
  heif_image_handle* handle = nullptr;
  heif_image* image = nullptr;
  if (heif_context_read_from_file(context.get(), fileName.c_str(), nullptr).code != heif_error_Ok ||
      heif_context_get_primary_image_handle(context.get(), &handle).code != heif_error_Ok ||
      heif_decode_image(handle, &image, heif_colorspace_RGB, heif_chroma_interleaved_RGB, nullptr).code != heif_error_Ok)
    throw std::runtime_error("libheif failed on " + fileName);
  heif_image_release(image);
  heif_image_handle_release(handle);
}

void LibwebpWhole(const std::string& fileName) {
  const OpenedFile file(fileName);
  const std::vector<std::uint8_t> data = file.ReadWhole();
  int width = 0, height = 0;
  std::uint8_t* rgb = WebPDecodeRGB(data.data(), data.size(), &width, &height);
  if (rgb == nullptr) throw std::runtime_error("libwebp failed on " + fileName);
  WebPFree(rgb);
}

using Decoder = void (*)(const OpenedFile&, RowSink&);

Decoder DecoderOf(const std::string& fileName) {
  const std::string extension = UpperExtension(fileName);
  if (extension == ".PNG") return DecodePng;
  if (extension == ".TIF" || extension == ".TIFF") return DecodeTiff;
  if (extension == ".BMP") return DecodeBmp;
  if (extension == ".GIF") return DecodeGif;
  if (extension == ".HEIC" || extension == ".HEIF" || extension == ".HIF" || extension == ".AVIF") return DecodeHeif;
  if (extension == ".WEBP") return DecodeWebp;
  return nullptr;
}

// The library's own decoding of the whole picture, where the type has one to compare with.
void (*LibraryAlone(Decoder decode))(const std::string&) {
  if (decode == DecodePng) return LibpngRows;
  if (decode == DecodeHeif) return LibheifWhole;
  if (decode == DecodeWebp) return LibwebpWhole;
  return nullptr;
}

void TimeFile(const std::string& fileName) {
  auto bitmap = std::make_unique<WorkingBitmap>();
  auto coefficients = std::make_unique<CoefficientArray>();
  TWaveletCoefs positive{}, negative{};
  const auto load = [&] { LoadPicture(fileName, *bitmap); };
  const auto analyse = [&] {
    LoadPicture(fileName, *bitmap);
    PictureSignature(*bitmap, *coefficients, positive, negative);
  };
  const Decoder decode = DecoderOf(fileName);
  if (decode == nullptr) {
    const std::vector<double> ms = MedianMilliseconds({load, analyse});
    std::printf("%s\n  LoadPicture                %8.1f ms\n", fileName.c_str(), ms[0]);
    std::printf("  LoadPicture and signature  %8.1f ms\n", ms[1]);
    return;
  }
  const OpenedFile file(fileName);
  ReadingSink reading;
  std::vector<std::uint8_t> jpeg;
  const auto encode = [&] {
    JpegRowEncoder encoder;
    decode(file, encoder);
    jpeg = encoder.Finish();
  };
  encode();
  std::vector<std::function<void()>> works{load, [&] { decode(file, reading); }, encode,
                                           [&] { DrawJpeg(jpeg, {}, *bitmap); }, analyse};
  const auto library = LibraryAlone(decode);
  if (library != nullptr) works.emplace_back([&] { library(fileName); });
  const std::vector<double> ms = MedianMilliseconds(works);
  std::printf("%s\n  LoadPicture                %8.1f ms\n", fileName.c_str(), ms[0]);
  std::printf("  decoder alone              %8.1f ms\n", ms[1]);
  std::printf("  quality-90 JPEG encoding   %8.1f ms (decoder and encoder %.1f ms)\n", ms[2] - ms[1], ms[2]);
  std::printf("  that JPEG decoded at 1/8   %8.1f ms\n", ms[3]);
  std::printf("  the JPEG route in all      %8.1f ms\n", ms[2] + ms[3]);
  std::printf("  LoadPicture and signature  %8.1f ms\n", ms[4]);
  if (library != nullptr) {
    std::printf("  the library alone          %8.1f ms: LoadPicture takes %.2f times that, with the signature %.2f\n",
                ms[5], ms[0] / ms[5], ms[4] / ms[5]);
  }
  if (reading.Total() == 1) std::printf(" ");  // keeps the sums alive
}

}  // namespace
}  // namespace tessimar

int main(int argc, char** argv) {
  try {
    for (int i = 1; i < argc; ++i) tessimar::TimeFile(argv[i]);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "decode_bench: %s\n", error.what());
    return 1;
  }
}
