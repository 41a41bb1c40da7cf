#include "decode/webp_tables.h"

#include <algorithm>
#include <string_view>

#include "decode/picture_error.h"
#include "decode/vp8l_groups.h"

namespace tessimar {
namespace {

constexpr std::size_t RiffHeaderBytes = 12, ChunkHeaderBytes = 8, FrameHeaderBytes = 16;
constexpr int LosslessAlpha = 1;  // ALPH compression method

struct Chunk {
  std::string_view Type;
  std::span<const std::uint8_t> Payload;  // as far as the file goes
};

std::uint32_t LittleEndian(std::span<const std::uint8_t> bytes) {
  std::uint32_t value = 0;
  for (std::size_t i = bytes.size(); i-- > 0;) value = value << 8 | bytes[i];
  return value;
}

// The chunk at the start of data, and data after it.
Chunk NextChunk(std::span<const std::uint8_t>& data) {
  const std::string_view type(reinterpret_cast<const char*>(data.data()), 4);
  const std::uint64_t size = LittleEndian(data.subspan(4, 4));
  data = data.subspan(ChunkHeaderBytes);
  const std::span<const std::uint8_t> payload = data.first(std::min<std::size_t>(size, data.size()));
  data = data.subspan(std::min<std::size_t>(size + (size & 1), data.size()));
  return {type, payload};
}

// The tables for the chunks of one picture, up to its image chunk: each alpha chunk libwebp may
// take, then a lossless image.
std::uint64_t PictureTables(std::span<const std::uint8_t> chunks, int width, int height) {
  std::uint64_t groups = 0;
  while (chunks.size() >= ChunkHeaderBytes) {
    const Chunk chunk = NextChunk(chunks);
    if (chunk.Type == "ALPH" && !chunk.Payload.empty() && (chunk.Payload[0] & 3) == LosslessAlpha)
      groups = std::max(groups, Vp8lAlphaGroups(chunk.Payload.subspan(1), width, height));
    if (chunk.Type == "VP8L") groups = std::max(groups, Vp8lImageGroups(chunk.Payload, width, height));
    if (chunk.Type == "VP8L" || chunk.Type == "VP8 ") break;
  }
  return groups * HuffmanTableBytesPerGroup;
}

}  // namespace

std::uint64_t HuffmanTableBytes(std::span<const std::uint8_t> file, bool animated, int width, int height) {
  if (file.size() < RiffHeaderBytes) return 0;
  const std::span<const std::uint8_t> chunks = file.subspan(RiffHeaderBytes);
  if (!animated) return PictureTables(chunks, width, height);
  for (std::span<const std::uint8_t> rest = chunks; rest.size() >= ChunkHeaderBytes;) {
    const Chunk chunk = NextChunk(rest);
    if (chunk.Type != "ANMF") continue;
    if (chunk.Payload.size() < FrameHeaderBytes) return 0;
    const int frameWidth = static_cast<int>(LittleEndian(chunk.Payload.subspan(6, 3))) + 1;
    const int frameHeight = static_cast<int>(LittleEndian(chunk.Payload.subspan(9, 3))) + 1;
    // libwebp refuses a frame beyond its canvas before decoding it.
    if (frameWidth > width || frameHeight > height) throw PictureError("WebP: a frame larger than its canvas");
    return PictureTables(chunk.Payload.subspan(FrameHeaderBytes), frameWidth, frameHeight);
  }
  return 0;
}

}  // namespace tessimar
