#include "decode/picture_loader.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "decode/bmp_decoder.h"
#include "decode/file_reading.h"
#include "decode/gif_decoder.h"
#include "decode/heif_decoder.h"
#include "decode/jpeg_decoder.h"
#include "decode/jpeg_encoder.h"
#include "decode/picture_draw.h"
#include "decode/picture_error.h"
#include "decode/png_decoder.h"
#include "decode/raw_decoder.h"
#include "decode/tiff_decoder.h"
#include "decode/webp_decoder.h"
#include "platform/path_text.h"
#include "platform/text_compare.h"
#include "settings/picture_types.h"

namespace tessimar {
namespace {

using namespace std::string_view_literals;

// A JPEG at the pixel limit stays far below this at any ordinary quality. Past it a file is no
// sane picture: libjpeg would scan all of it for markers, and the preview would hold it whole.
constexpr std::uint64_t MaxJpegFileBytes = std::uint64_t{1} << 30;

// Decodes a file into rows; a JPEG file needs none, its own bytes are the JPEG image.
using Decoder = void (*)(const OpenedFile& file, RowSink& sink);
constexpr Decoder JpegAsItIs = nullptr;

// LibRaw first: camera raws are TIFF files too, and a TIFF it does not take for a raw is a
// plain picture.
void DecodeRawOrTiff(const OpenedFile& file, RowSink& sink) {
  if (!DecodeRawIfRecognised(file, sink)) DecodeTiff(file, sink);
}

struct ContentRow {
  std::string_view Magic;  // the first bytes of the file
  Decoder Decode;
};

constexpr std::array<ContentRow, 7> ContentDecoders{{
    {"\xFF\xD8\xFF"sv, JpegAsItIs},
    {"\x89PNG\r\n\x1A\n"sv, DecodePng},
    {"GIF87a"sv, DecodeGif},
    {"GIF89a"sv, DecodeGif},
    {"BM"sv, DecodeBmp},
    {"II*\0"sv, DecodeRawOrTiff},
    {"MM\0*"sv, DecodeRawOrTiff},
}};
constexpr std::size_t MagicBytes = 8;  // the longest, PNG's

struct DecoderRow {
  std::string_view TypeName;  // the picture type whose extensions it decodes
  Decoder Decode;
  // Its files' names promise little: a known kind of content is decoded as what it is, and
  // only the rest by Decode. Cameras name raws and TIFFs alike; phones and sharing services
  // write JPEGs named .heic, and web pages serve JPEGs and PNGs named .webp.
  bool ByContent = false;
};

constexpr std::array<DecoderRow, 9> Decoders{{
    {"jpg", JpegAsItIs},
    {"bmp", DecodeBmp},
    {"gif", DecodeGif},
    {"png", DecodePng},
    {"tif", DecodeTiff},
    {"cr2", DecodeRaw, true},
    {"heic", DecodeHeif, true},
    {"avif", DecodeHeif, true},
    {"webp", DecodeWebp, true},
}};

Decoder DecoderByContent(const OpenedFile& file, Decoder otherwise) {
  std::array<std::uint8_t, MagicBytes> start{};
  const std::size_t got = file.ReadSome(0, start.data(), start.size());
  const std::string_view head(reinterpret_cast<const char*>(start.data()), got);
  for (const ContentRow& row : ContentDecoders) {
    if (head.starts_with(row.Magic)) return row.Decode;
  }
  return otherwise;
}

constexpr const DecoderRow* DecoderOfType(std::string_view name) {
  for (const DecoderRow& row : Decoders)
    if (row.TypeName == name) return &row;
  return nullptr;
}

static_assert(std::ranges::all_of(PictureTypes, [](const PictureType& type) { return DecoderOfType(type.Name); }),
              "every picture type needs a decoder");

const DecoderRow& DecoderFor(const std::string& fileName) {
  const std::string extension = UpperExtension(fileName);
  for (const PictureType& type : PictureTypes) {
    if (!extension.empty() && std::ranges::find(type.Extensions, extension) != type.Extensions.end())
      return *DecoderOfType(type.Name);
  }
  throw PictureError("no decoder for the extension \"" + extension + "\"");
}

// Every other type ends as a JPEG image too, or as what its decoding would draw (PictureDraw).
Decoder ChooseDecoder(const DecoderRow& row, const OpenedFile& file) {
  return row.ByContent ? DecoderByContent(file, row.Decode) : row.Decode;
}

const OpenedFile& SaneJpegFile(const OpenedFile& file) {
  if (file.Size() > MaxJpegFileBytes) throw PictureError("JPEG: the file is too large for a picture");
  return file;
}

}  // namespace

std::vector<std::uint8_t> PictureAsJpeg(const std::string& fileName) {
  const DecoderRow& row = DecoderFor(fileName);
  const OpenedFile file(fileName);
  const Decoder decode = ChooseDecoder(row, file);
  if (decode == JpegAsItIs) return SaneJpegFile(file).ReadWhole();
  JpegRowEncoder encoder;
  decode(file, encoder);
  return encoder.Finish();
}

PictureSize LoadPicture(const std::string& fileName, WorkingBitmap& bitmap, const TSettings& settings) {
  const MinimumSize minimum{settings.MinPicWidth, settings.MinPicHeight};
  try {
    const DecoderRow& row = DecoderFor(fileName);
    const OpenedFile file(fileName);
    const Decoder decode = ChooseDecoder(row, file);
    if (decode == JpegAsItIs) return DrawJpeg(SaneJpegFile(file), minimum, bitmap);
    PictureDraw draw(minimum, bitmap);
    decode(file, draw);
    return draw.Finish();
  } catch (const std::exception& error) {
    throw PictureError(fileName + ": " + error.what());
  }
}

}  // namespace tessimar
