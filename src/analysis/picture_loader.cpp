#include "analysis/picture_loader.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "analysis/bmp_decoder.h"
#include "analysis/file_reading.h"
#include "analysis/gif_decoder.h"
#include "analysis/jpeg_decoder.h"
#include "analysis/jpeg_encoder.h"
#include "analysis/picture_error.h"
#include "analysis/png_decoder.h"
#include "analysis/raw_decoder.h"
#include "analysis/tiff_decoder.h"
#include "platform/path_text.h"
#include "platform/text_compare.h"
#include "settings/picture_types.h"

namespace tessimar {
namespace {

using namespace std::string_view_literals;
using JpegBytes = std::vector<std::uint8_t>;

// Every type ends as JPEG data; the one JPEG decode then reduces large pictures cheaply.
template <RgbPicture (*Decode)(const std::string&)>
JpegBytes Reencoded(const std::string& fileName) {
  return EncodeJpeg(Decode(fileName));
}

// LibRaw first: camera raws are TIFF files too, and a TIFF it does not take for a raw is a
// plain picture.
RgbPicture DecodeRawOrTiff(const std::string& fileName) {
  std::optional<RgbPicture> raw = DecodeRawIfRecognised(fileName);
  return raw ? std::move(*raw) : DecodeTiff(fileName);
}

struct ContentRow {
  std::string_view Magic;  // the first bytes of the file
  JpegBytes (*ToJpeg)(const std::string& fileName);
};

constexpr std::array<ContentRow, 7> ContentDecoders{{
    {"\xFF\xD8\xFF"sv, ReadWholeFile},
    {"\x89PNG\r\n\x1A\n"sv, Reencoded<DecodePng>},
    {"GIF87a"sv, Reencoded<DecodeGif>},
    {"GIF89a"sv, Reencoded<DecodeGif>},
    {"BM"sv, Reencoded<DecodeBmp>},
    {"II*\0"sv, Reencoded<DecodeRawOrTiff>},
    {"MM\0*"sv, Reencoded<DecodeRawOrTiff>},
}};
constexpr std::size_t MagicBytes = 8;  // the longest, PNG's

// A camera file's name promises nothing: its content chooses, and LibRaw takes what no row claims.
JpegBytes CameraFileToJpeg(const std::string& fileName) {
  const std::vector<std::uint8_t> start = ReadFileStart(fileName, MagicBytes);
  const std::string_view head(reinterpret_cast<const char*>(start.data()), start.size());
  for (const ContentRow& row : ContentDecoders) {
    if (head.starts_with(row.Magic)) return row.ToJpeg(fileName);
  }
  return Reencoded<DecodeRaw>(fileName);
}

struct DecoderRow {
  std::string_view TypeName;  // the picture type whose extensions it decodes
  JpegBytes (*ToJpeg)(const std::string& fileName);
};

constexpr std::array<DecoderRow, 6> Decoders{{
    {"jpg", ReadWholeFile},
    {"bmp", Reencoded<DecodeBmp>},
    {"gif", Reencoded<DecodeGif>},
    {"png", Reencoded<DecodePng>},
    {"tif", Reencoded<DecodeTiff>},
    {"cr2", CameraFileToJpeg},
}};

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

}  // namespace

std::vector<std::uint8_t> PictureAsJpeg(const std::string& fileName) {
  const DecoderRow& decoder = DecoderFor(fileName);
  RequireRegularFile(fileName);
  return decoder.ToJpeg(fileName);
}

PictureSize LoadPicture(const std::string& fileName, WorkingBitmap& bitmap, const TSettings& settings) {
  try {
    return DrawJpeg(PictureAsJpeg(fileName), {settings.MinPicWidth, settings.MinPicHeight}, bitmap);
  } catch (const std::exception& error) {
    throw PictureError(fileName + ": " + error.what());
  }
}

}  // namespace tessimar
