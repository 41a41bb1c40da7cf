#include <zlib.h>

#include <stdexcept>

#include "byte_order.h"
#include "picture_fixtures.h"

namespace tessimar::testing {
namespace {

std::uint32_t Byte(const std::string& bytes, std::size_t offset) { return static_cast<std::uint8_t>(bytes.at(offset)); }

// Little- or big-endian as the TIFF header says.
struct TiffEditor {
  std::string& Bytes;
  bool Big = Bytes.at(0) == 'M';

  std::uint32_t Get(std::size_t offset, int size) const {
    std::uint32_t value = 0;
    for (int i = 0; i < size; ++i) {
      const int shift = Big ? 8 * (size - 1 - i) : 8 * i;
      value |= Byte(Bytes, offset + i) << shift;
    }
    return value;
  }
  void Set(std::size_t offset, std::uint32_t value, int size) {
    if (Big)
      PutBigEndian(Bytes, offset, value, size);
    else
      PutLittleEndian(Bytes, offset, value, size);
  }

  // Rewrites width and height as LONG entries in the directory at offset and in its sub-directories.
  void Patch(std::size_t offset, std::uint32_t width, std::uint32_t height) {
    const std::uint32_t count = Get(offset, 2);
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::size_t entry = offset + 2 + 12 * i;
      const std::uint32_t tag = Get(entry, 2), entries = Get(entry + 4, 4);
      if (tag == 256 || tag == 257) Set(entry + 2, 4, 2), Set(entry + 8, tag == 256 ? width : height, 4);
      if (tag != 330) continue;  // sub-directories
      for (std::uint32_t k = 0; k < entries; ++k) {
        Patch(entries == 1 ? Get(entry + 8, 4) : Get(Get(entry + 8, 4) + 4 * k, 4), width, height);
      }
    }
  }
};

}  // namespace

std::string WithJpegSize(std::string jpeg, int width, int height) {
  for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
    if (Byte(jpeg, i) == 0xFF && Byte(jpeg, i + 1) >= 0xC0 && Byte(jpeg, i + 1) <= 0xC2) {
      PutBigEndian(jpeg, i + 5, static_cast<std::uint32_t>(height), 2);
      PutBigEndian(jpeg, i + 7, static_cast<std::uint32_t>(width), 2);
      return jpeg;
    }
  }
  throw std::runtime_error("fixture: no frame header in the JPEG");
}

std::string WithPngSize(std::string png, std::uint32_t width, std::uint32_t height) {
  PutBigEndian(png, 16, width, 4);
  PutBigEndian(png, 20, height, 4);
  // The header chunk's checksum covers its type and data.
  const auto crc = crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17);
  PutBigEndian(png, 29, static_cast<std::uint32_t>(crc), 4);
  return png;
}

std::string WithGifSize(std::string gif, int width, int height) {
  PutLittleEndian(gif, 6, static_cast<std::uint32_t>(width), 2);
  PutLittleEndian(gif, 8, static_cast<std::uint32_t>(height), 2);
  std::size_t at = 13 + ((Byte(gif, 10) & 0x80) != 0 ? 3u << ((Byte(gif, 10) & 7) + 1) : 0);
  while (Byte(gif, at) == 0x21) {  // extensions: label, then sub-blocks up to an empty one
    at += 2;
    while (Byte(gif, at) != 0) at += Byte(gif, at) + 1;
    ++at;
  }
  if (Byte(gif, at) != 0x2C) throw std::runtime_error("fixture: no frame in the GIF");
  PutLittleEndian(gif, at + 5, static_cast<std::uint32_t>(width), 2);
  PutLittleEndian(gif, at + 7, static_cast<std::uint32_t>(height), 2);
  return gif;
}

std::string WithTiffSize(std::string tiff, std::uint32_t width, std::uint32_t height) {
  TiffEditor editor{tiff};
  editor.Patch(editor.Get(4, 4), width, height);
  return tiff;
}

std::string WithBmpSize(std::string bmp, std::int32_t width, std::int32_t height) {
  const bool core = Byte(bmp, 14) == 12;
  PutLittleEndian(bmp, 18, static_cast<std::uint32_t>(width), core ? 2 : 4);
  PutLittleEndian(bmp, core ? 20 : 22, static_cast<std::uint32_t>(height), core ? 2 : 4);
  return bmp;
}

std::string WithHeifSize(std::string heif, std::uint32_t width, std::uint32_t height) {
  std::size_t patched = 0;
  for (std::size_t at = heif.find("ispe"); at != std::string::npos; at = heif.find("ispe", at + 1), ++patched) {
    PutBigEndian(heif, at + 8, width, 4);
    PutBigEndian(heif, at + 12, height, 4);
  }
  if (patched == 0) throw std::invalid_argument("no ispe box to patch");
  return heif;
}

std::string WithWebpSize(std::string webp, std::uint32_t width, std::uint32_t height) {
  const std::string chunk = webp.substr(12, 4);
  if (chunk == "VP8 ") {
    PutLittleEndian(webp, 26, width, 2);
    PutLittleEndian(webp, 28, height, 2);
  } else if (chunk == "VP8L") {
    const std::uint32_t rest = (Byte(webp, 24) & 0xF0) << 24;  // the alpha hint and the version
    PutLittleEndian(webp, 21, rest | (width - 1) | (height - 1) << 14, 4);
  } else {
    throw std::invalid_argument("not a simple WebP file");
  }
  return webp;
}

}  // namespace tessimar::testing
