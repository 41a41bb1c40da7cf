#include "decode/vp8l_groups.h"

#include <algorithm>
#include <array>
#include <vector>

#include "decode/picture_error.h"

namespace tessimar {
namespace {

constexpr const char* Damaged = "WebP: damaged lossless data";
constexpr std::uint8_t Signature = 0x2F;
constexpr int LiteralCodes = 256, LengthCodes = 24, DistanceCodes = 40;
constexpr int MaxCodeLength = 15;
constexpr int MaxCacheBits = 11;
constexpr int LengthCodeLiterals = 16;  // code lengths 0 to 15; then the repeat codes
constexpr std::array<int, 19> CodeLengthOrder = {17, 18, 0, 1, 2, 3, 4, 5, 16, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
constexpr std::array<int, 3> RepeatBits = {2, 3, 7}, RepeatOffsets = {3, 3, 11};
constexpr int PlaneCodes = 120;
// Distance codes for the neighbourhood of a pixel: rows up in the high nibble, 8 - columns left in the low.
constexpr std::array<std::uint8_t, PlaneCodes> CodeToPlane = {
    0x18, 0x07, 0x17, 0x19, 0x28, 0x06, 0x27, 0x29, 0x16, 0x1a, 0x26, 0x2a, 0x38, 0x05, 0x37, 0x39, 0x15, 0x1b,
    0x36, 0x3a, 0x25, 0x2b, 0x48, 0x04, 0x47, 0x49, 0x14, 0x1c, 0x35, 0x3b, 0x46, 0x4a, 0x24, 0x2c, 0x58, 0x45,
    0x4b, 0x34, 0x3c, 0x03, 0x57, 0x59, 0x13, 0x1d, 0x56, 0x5a, 0x23, 0x2d, 0x44, 0x4c, 0x55, 0x5b, 0x33, 0x3d,
    0x68, 0x02, 0x67, 0x69, 0x12, 0x1e, 0x66, 0x6a, 0x22, 0x2e, 0x54, 0x5c, 0x43, 0x4d, 0x65, 0x6b, 0x32, 0x3e,
    0x78, 0x01, 0x77, 0x79, 0x53, 0x5d, 0x11, 0x1f, 0x64, 0x6c, 0x42, 0x4e, 0x76, 0x7a, 0x21, 0x2f, 0x75, 0x7b,
    0x31, 0x3f, 0x63, 0x6d, 0x52, 0x5e, 0x00, 0x74, 0x7c, 0x41, 0x4f, 0x10, 0x20, 0x62, 0x6e, 0x30, 0x73, 0x7d,
    0x51, 0x5f, 0x40, 0x72, 0x7e, 0x61, 0x6f, 0x50, 0x71, 0x7f, 0x60, 0x70};
// Up to this many, libwebp keeps the group numbers as stored; past it, it numbers the used ones afresh.
constexpr std::uint32_t MostGroupsAsStored = 1000;
constexpr std::uint32_t ColourCacheMultiplier = 0x1E35A7BD;

enum Transform { Predictor = 0, CrossColour = 1, SubtractGreen = 2, ColourIndexing = 3 };

// Fields least significant bit first, as VP8L packs them.
class LsbBits {
 public:
  explicit LsbBits(std::span<const std::uint8_t> data) : data_(data) {}

  std::uint32_t Read(int count) {
    if (position_ + static_cast<std::size_t>(count) > data_.size() * 8) throw PictureError(Damaged);
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i, ++position_)
      value |= std::uint32_t{data_[position_ / 8] >> position_ % 8 & 1u} << i;
    return value;
  }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t position_ = 0;
};

// A canonical Huffman code from its symbols' lengths, each code's first bit first.
class HuffmanCode {
 public:
  // Throws for a code libwebp refuses to build: none, over-full or incomplete.
  explicit HuffmanCode(const std::vector<int>& lengths) {
    for (int symbol = 0; symbol < static_cast<int>(lengths.size()); ++symbol) {
      if (lengths[symbol] > MaxCodeLength) throw PictureError(Damaged);
      if (lengths[symbol] != 0) ++counts_[lengths[symbol]], single_ = symbol;
    }
    for (int length = 1; length <= MaxCodeLength; ++length)
      for (int symbol = 0; symbol < static_cast<int>(lengths.size()); ++symbol)
        if (lengths[symbol] == length) symbols_.push_back(symbol);
    if (symbols_.empty()) throw PictureError(Damaged);
    if (symbols_.size() > 1) single_ = -1, CheckComplete();
  }

  int Read(LsbBits& bits) const {
    if (single_ >= 0) return single_;  // a code of one symbol takes no bits
    int code = 0, first = 0, index = 0;
    for (int length = 1; length <= MaxCodeLength; ++length) {
      code |= static_cast<int>(bits.Read(1));
      if (code - first < counts_[length]) return symbols_[index + code - first];
      index += counts_[length];
      first = (first + counts_[length]) << 1;
      code <<= 1;
    }
    throw PictureError(Damaged);
  }

 private:
  void CheckComplete() const {
    std::int64_t open = 1;
    for (int length = 1; length <= MaxCodeLength; ++length) {
      open = open * 2 - counts_[length];
      if (open < 0) throw PictureError(Damaged);
    }
    if (open != 0) throw PictureError(Damaged);
  }

  std::array<int, MaxCodeLength + 1> counts_{};
  std::vector<int> symbols_;  // by length, then by value
  int single_ = -1;
};

std::vector<int> ReadCodeLengths(LsbBits& bits, int alphabet) {
  std::vector<int> lengthLengths(CodeLengthOrder.size(), 0);
  const int stored = static_cast<int>(bits.Read(4)) + 4;
  for (int i = 0; i < stored; ++i) lengthLengths[CodeLengthOrder[i]] = static_cast<int>(bits.Read(3));
  const HuffmanCode lengthCode(lengthLengths);
  int most = alphabet;
  if (bits.Read(1) != 0) {
    most = 2 + static_cast<int>(bits.Read(2 + 2 * static_cast<int>(bits.Read(3))));
    if (most > alphabet) throw PictureError(Damaged);
  }
  std::vector<int> lengths(alphabet, 0);
  int previous = 8;
  for (int symbol = 0; symbol < alphabet && most-- > 0;) {
    const int length = lengthCode.Read(bits);
    if (length < LengthCodeLiterals) {
      lengths[symbol++] = length;
      if (length != 0) previous = length;
      continue;
    }
    const int slot = length - LengthCodeLiterals;
    const int repeat = static_cast<int>(bits.Read(RepeatBits[slot])) + RepeatOffsets[slot];
    if (symbol + repeat > alphabet) throw PictureError(Damaged);
    std::fill_n(lengths.begin() + symbol, repeat, slot == 0 ? previous : 0);
    symbol += repeat;
  }
  return lengths;
}

HuffmanCode ReadCode(LsbBits& bits, int alphabet) {
  if (bits.Read(1) == 0) return HuffmanCode(ReadCodeLengths(bits, alphabet));
  std::vector<int> lengths(alphabet, 0);
  const int symbols = static_cast<int>(bits.Read(1)) + 1;
  for (int i = 0; i < symbols; ++i) {
    // The first symbol takes one bit or eight; a symbol past the alphabet counts for nothing.
    const std::uint32_t symbol = bits.Read(i == 0 && bits.Read(1) == 0 ? 1 : 8);
    if (symbol < lengths.size()) lengths[symbol] = 1;
  }
  return HuffmanCode(lengths);
}

// The five codes of a group: green (with lengths and cache keys), red, blue, alpha, distance.
struct Group {
  Group(LsbBits& bits, int cacheBits)
      : Green(ReadCode(bits, LiteralCodes + LengthCodes + (cacheBits > 0 ? 1 << cacheBits : 0))),
        Red(ReadCode(bits, LiteralCodes)),
        Blue(ReadCode(bits, LiteralCodes)),
        Alpha(ReadCode(bits, LiteralCodes)),
        Distance(ReadCode(bits, DistanceCodes)) {}
  HuffmanCode Green, Red, Blue, Alpha, Distance;
};

int ReadCacheBits(LsbBits& bits) {
  if (bits.Read(1) == 0) return 0;
  const int cacheBits = static_cast<int>(bits.Read(4));
  if (cacheBits < 1 || cacheBits > MaxCacheBits) throw PictureError(Damaged);
  return cacheBits;
}

// A length or distance from its prefix symbol and extra bits.
std::uint64_t CopyValue(int symbol, LsbBits& bits) {
  if (symbol < 4) return static_cast<std::uint64_t>(symbol) + 1;
  const int extraBits = (symbol - 2) >> 1;
  const std::uint64_t offset = std::uint64_t(2 + (symbol & 1)) << extraBits;
  return offset + bits.Read(extraBits) + 1;
}

std::uint64_t PlaneDistance(std::uint64_t width, std::uint64_t code) {
  if (code > PlaneCodes) return code - PlaneCodes;
  const int plane = CodeToPlane[code - 1];
  const std::int64_t distance =
      static_cast<std::int64_t>(plane >> 4) * static_cast<std::int64_t>(width) + 8 - (plane & 0xF);
  return static_cast<std::uint64_t>(std::max<std::int64_t>(distance, 1));
}

// An entropy-coded image of width x height pixels; its pixels only when kept, as only the meta
// Huffman image's are needed.
std::vector<std::uint32_t> ReadSubImage(LsbBits& bits, std::uint64_t width, std::uint64_t height, bool keep) {
  const int cacheBits = ReadCacheBits(bits);
  const Group group(bits, cacheBits);
  const std::uint64_t total = width * height;
  std::vector<std::uint32_t> pixels, cache(keep && cacheBits > 0 ? std::size_t{1} << cacheBits : 0);
  std::size_t cached = 0;
  for (std::uint64_t done = 0; done < total;) {
    const int green = group.Green.Read(bits);
    if (green < LiteralCodes) {
      const std::uint32_t red = group.Red.Read(bits), blue = group.Blue.Read(bits), alpha = group.Alpha.Read(bits);
      if (keep) pixels.push_back(alpha << 24 | red << 16 | static_cast<std::uint32_t>(green) << 8 | blue);
      ++done;
    } else if (green < LiteralCodes + LengthCodes) {
      const std::uint64_t length = CopyValue(green - LiteralCodes, bits);
      const std::uint64_t distance = PlaneDistance(width, CopyValue(group.Distance.Read(bits), bits));
      if (distance > done || length > total - done) throw PictureError(Damaged);
      for (std::uint64_t i = 0; keep && i < length; ++i) pixels.push_back(pixels[pixels.size() - distance]);
      done += length;
    } else {
      if (keep) pixels.push_back(cache[static_cast<std::size_t>(green - LiteralCodes - LengthCodes)]);
      ++done;
    }
    for (; !cache.empty() && cached < pixels.size(); ++cached)
      cache[(pixels[cached] * ColourCacheMultiplier) >> (32 - cacheBits)] = pixels[cached];
  }
  return pixels;
}

std::uint64_t Subsampled(std::uint64_t size, int bits) { return (size + (std::uint64_t{1} << bits) - 1) >> bits; }

// Reads the transforms, each with its own image, up to the meta Huffman codes.
std::uint64_t ReadTransforms(LsbBits& bits, std::uint64_t width, std::uint64_t height) {
  unsigned seen = 0;
  while (bits.Read(1) != 0) {
    const auto transform = static_cast<Transform>(bits.Read(2));
    if ((seen & 1u << transform) != 0) throw PictureError(Damaged);  // each transform once only
    seen |= 1u << transform;
    if (transform == Predictor || transform == CrossColour) {
      const int blockBits = static_cast<int>(bits.Read(3)) + 2;
      ReadSubImage(bits, Subsampled(width, blockBits), Subsampled(height, blockBits), false);
    } else if (transform == ColourIndexing) {
      const int colours = static_cast<int>(bits.Read(8)) + 1;
      ReadSubImage(bits, static_cast<std::uint64_t>(colours), 1, false);
      width = Subsampled(width, colours > 16 ? 0 : colours > 4 ? 1 : colours > 2 ? 2 : 3);  // pixels packed
    }
  }
  return width;
}

std::uint64_t StreamGroups(LsbBits& bits, std::uint64_t width, std::uint64_t height) {
  width = ReadTransforms(bits, width, height);
  ReadCacheBits(bits);
  if (bits.Read(1) == 0) return 1;  // one group for the whole picture
  const int blockBits = static_cast<int>(bits.Read(3)) + 2;
  const std::vector<std::uint32_t> image =
      ReadSubImage(bits, Subsampled(width, blockBits), Subsampled(height, blockBits), true);
  std::vector<bool> used(std::size_t{1} << 16, false);
  std::uint64_t stored = 0, distinct = 0;
  for (const std::uint32_t pixel : image) {
    const std::uint32_t group = pixel >> 8 & 0xFFFF;  // red and green
    stored = std::max<std::uint64_t>(stored, group + 1);
    if (!used[group]) used[group] = true, ++distinct;
  }
  return stored > MostGroupsAsStored || stored > width * height ? distinct : stored;
}

}  // namespace

std::uint64_t Vp8lImageGroups(std::span<const std::uint8_t> chunk, int width, int height) {
  if (chunk.empty() || chunk[0] != Signature) throw PictureError(Damaged);
  LsbBits bits(chunk.subspan(1));
  if (bits.Read(14) + 1 != static_cast<std::uint32_t>(width) || bits.Read(14) + 1 != static_cast<std::uint32_t>(height))
    throw PictureError("WebP: the lossless image and its picture differ in size");
  bits.Read(1);                                        // alpha_is_used
  if (bits.Read(3) != 0) throw PictureError(Damaged);  // version
  return StreamGroups(bits, static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height));
}

std::uint64_t Vp8lAlphaGroups(std::span<const std::uint8_t> stream, int width, int height) {
  LsbBits bits(stream);
  return StreamGroups(bits, static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height));
}

}  // namespace tessimar
