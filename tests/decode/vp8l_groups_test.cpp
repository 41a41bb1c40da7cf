// The Huffman groups libwebp builds tables for, counted from a lossless stream before it decodes:
// a file of 300 kB using 65536 groups would make libwebp take 400 MB; what encoders write loads.
#include "decode/vp8l_groups.h"

#include <gtest/gtest.h>
#include <webp/encode.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "decode/picture_error.h"
#include "decode/picture_loader.h"
#include "decode/webp_tables.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

using testing::TempFolder;

// ---- writing lossless streams ----

// Fields least significant bit first, as VP8L packs them.
class LsbWriter {
 public:
  void Put(std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i, ++used_) {
      if (used_ % 8 == 0) bytes_ += '\0';
      if ((value >> i & 1) != 0) bytes_.back() = static_cast<char>(bytes_.back() | 1 << used_ % 8);
    }
  }
  // A Huffman code's bits, its first bit first.
  void Code(std::uint32_t code, int length) {
    for (int i = length - 1; i >= 0; --i) Put(code >> i & 1, 1);
  }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
  int used_ = 0;
};

// A code of one symbol, which takes no bits to read.
void OneSymbol(LsbWriter& bits, std::uint32_t symbol = 0) {
  bits.Put(1, 1), bits.Put(0, 1);
  if (symbol < 2) {
    bits.Put(0, 1), bits.Put(symbol, 1);
  } else {
    bits.Put(1, 1), bits.Put(symbol, 8);
  }
}

// The 256 literals at eight bits each, through a code-length code of lengths 0 and 8; the rest of
// the alphabet unused.
void EightBitLiterals(LsbWriter& bits, int alphabet) {
  constexpr int Order[] = {17, 18, 0, 1, 2, 3, 4, 5, 16, 6, 7, 8};
  bits.Put(0, 1);
  bits.Put(12 - 4, 4);
  for (const int length : Order) bits.Put(length == 0 || length == 8 ? 1 : 0, 3);
  bits.Put(0, 1);  // code lengths for the whole alphabet
  for (int symbol = 0; symbol < alphabet; ++symbol) bits.Code(symbol < 256 ? 1 : 0, 1);
}

// What a meta Huffman image holds, pixel by pixel.
struct Symbol {
  enum Kind { Literal, Copy } Type = Literal;
  std::uint32_t Group = 0;   // a literal's red and green
  std::uint32_t Length = 0;  // a copy's length less one, below 4
  std::uint32_t Plane = 0;   // a copy's distance: 0 the row above, 1 the pixel before
};

struct Stream {
  int Width = 16, Height = 16;
  bool Transforms = false;    // a predictor and a four-colour index before the codes
  std::vector<Symbol> Image;  // empty: no meta Huffman codes
  std::uint32_t Version = 0;
};

// The image's codes. Green: the literals at nine bits, the lengths 1 to 4 at three, written
// through a code-length code of lengths 0, 3 and 9. Red: eight bits. Blue and alpha: none.
// Distance: one bit, the row above or the pixel before.
void WriteImage(LsbWriter& bits, const std::vector<Symbol>& image) {
  bits.Put(0, 1);  // no colour cache
  bits.Put(0, 1);
  bits.Put(13 - 4, 4);
  for (const int length : {17, 18, 0, 1, 2, 3, 4, 5, 16, 6, 7, 8, 9})
    bits.Put(length == 0 ? 1 : length == 3 || length == 9 ? 2 : 0, 3);
  bits.Put(0, 1);
  for (int symbol = 0; symbol < 280; ++symbol)
    bits.Code(symbol < 256 ? 0b11 : symbol < 260 ? 0b10 : 0, symbol < 260 ? 2 : 1);
  EightBitLiterals(bits, 256);
  OneSymbol(bits), OneSymbol(bits);
  bits.Put(1, 1), bits.Put(1, 1), bits.Put(0, 1), bits.Put(0, 1), bits.Put(1, 8);
  for (const Symbol& symbol : image) {
    if (symbol.Type == Symbol::Literal) {
      bits.Code(256 + (symbol.Group & 0xFF), 9);
      bits.Code(symbol.Group >> 8, 8);
    } else {
      bits.Code(symbol.Length, 3);
      bits.Code(symbol.Plane, 1);
    }
  }
}

std::string LosslessChunk(const Stream& stream, bool header = true) {
  LsbWriter bits;
  if (header) {
    bits.Put(static_cast<std::uint32_t>(stream.Width - 1), 14),
        bits.Put(static_cast<std::uint32_t>(stream.Height - 1), 14);
    bits.Put(0, 1), bits.Put(stream.Version, 3);
  }
  if (stream.Transforms) {
    bits.Put(1, 1), bits.Put(0, 2), bits.Put(0, 3);  // predictor on 4 x 4 blocks: one code each, no bits a pixel
    bits.Put(0, 1);
    for (int code = 0; code < 5; ++code) OneSymbol(bits);
    bits.Put(1, 1), bits.Put(3, 2), bits.Put(3, 8);  // four colours: two pixels a byte
    bits.Put(0, 1);
    for (int code = 0; code < 5; ++code) OneSymbol(bits);
  }
  bits.Put(0, 1);  // no more transforms
  bits.Put(0, 1);  // the picture's own colour cache: none
  bits.Put(stream.Image.empty() ? 0 : 1, 1);
  if (!stream.Image.empty()) {
    bits.Put(0, 3);  // 4 x 4 blocks
    WriteImage(bits, stream.Image);
  }
  return (header ? std::string(1, '\x2F') : std::string()) + bits.Bytes();
}

std::span<const std::uint8_t> AsBytes(const std::string& bytes) {
  return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

std::vector<Symbol> Literals(std::uint32_t count, std::uint32_t (*group)(std::uint32_t)) {
  std::vector<Symbol> image;
  for (std::uint32_t i = 0; i < count; ++i) image.push_back({Symbol::Literal, group(i)});
  return image;
}

std::uint64_t Groups(const Stream& stream) {
  return Vp8lImageGroups(AsBytes(LosslessChunk(stream)), stream.Width, stream.Height);
}

std::string Failure(const Stream& stream, int width, int height) {
  try {
    Vp8lImageGroups(AsBytes(LosslessChunk(stream)), width, height);
    return "counted";
  } catch (const PictureError& error) {
    return error.what();
  }
}

// ---- counting ----

TEST(Vp8lGroups, CountedAsLibwebpBuildsThem) {
  const Symbol copyAbove{Symbol::Copy, 0, 3, 0};  // a row of four
  struct Case {
    const char* Name;
    Stream Lossless;
    std::uint64_t Groups;
  };
  const Case cases[] = {
      {"no meta codes: one group", {}, 1},
      {"up to 1000, as many as the largest number",
       {16, 16, false, Literals(16, [](std::uint32_t i) { return i % 5; })},
       5},
      {"copies of the pixel before and of the row above",
       {16,
        16,
        false,
        {{Symbol::Literal, 2000}, {Symbol::Literal, 3000}, {Symbol::Copy, 0, 1, 1}, copyAbove, copyAbove, copyAbove}},
       2},
      {"past 1000, only those used",
       {64, 64, false, Literals(256, [](std::uint32_t i) { return i % 2 * 0xFFFFu; })},
       2},
      {"past the picture's pixels, only those used", {4, 4, false, {{Symbol::Literal, 20}}}, 1},
      {"a different group in every block",
       {1024, 1024, false, Literals(65536, [](std::uint32_t i) { return i; })},
       65536},
      {"after a predictor and a colour index that packs four pixels a byte",
       {64, 16, true, Literals(16, [](std::uint32_t i) { return i; })},
       16},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(Groups(c.Lossless), c.Groups);
  }
  const Stream alpha{16, 16, false, Literals(16, [](std::uint32_t i) { return i % 7; })};
  EXPECT_EQ(Vp8lAlphaGroups(AsBytes(LosslessChunk(alpha, false)), 16, 16), 7u)
      << "an alpha plane's stream, without header";
}

TEST(Vp8lGroups, DamagedStreamsFail) {
  const Stream good{16, 16, false, Literals(16, [](std::uint32_t i) { return i; })};
  Stream version = good;
  version.Version = 1;
  const std::string whole = LosslessChunk(good);
  EXPECT_EQ(Failure(good, 16, 16), "counted");
  EXPECT_EQ(Failure(version, 16, 16), "WebP: damaged lossless data");
  EXPECT_THROW(Vp8lImageGroups(AsBytes(whole.substr(0, whole.size() / 2)), 16, 16), PictureError) << "truncated";
  EXPECT_EQ(Failure(good, 16, 15), "WebP: the lossless image and its picture differ in size");
  LsbWriter twice;
  for (int i = 0; i < 2; ++i) twice.Put(1, 1), twice.Put(2, 2);  // subtract green, twice
  EXPECT_THROW(Vp8lAlphaGroups(AsBytes(twice.Bytes()), 16, 16), PictureError);
  LsbWriter largeCache;
  largeCache.Put(0, 1), largeCache.Put(1, 1), largeCache.Put(12, 4);
  EXPECT_THROW(Vp8lAlphaGroups(AsBytes(largeCache.Bytes()), 16, 16), PictureError);
}

// ---- in a file ----

std::string LittleEndian(std::uint64_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
  return out;
}

std::string ChunkOf(const std::string& type, const std::string& payload) {
  return type + LittleEndian(payload.size(), 4) + payload + (payload.size() % 2 != 0 ? std::string(1, '\0') : "");
}

std::string Riff(const std::string& chunks) { return "RIFF" + LittleEndian(4 + chunks.size(), 4) + "WEBP" + chunks; }

std::string Vp8x(int width, int height, bool animated) {
  return ChunkOf("VP8X", std::string(1, animated ? '\x12' : '\x10') + std::string(3, '\0') +
                             LittleEndian(width - 1, 3) + LittleEndian(height - 1, 3));
}

std::string LosslessAlpha(const Stream& stream) { return ChunkOf("ALPH", '\x01' + LosslessChunk(stream, false)); }

const std::string LossyImage = ChunkOf("VP8 ", std::string(10, '\0'));

TEST(WebpTables, TheFirstPicturesLosslessStreamsCount) {
  const Stream fiveGroups{16, 16, false, Literals(16, [](std::uint32_t i) { return i % 5; })};
  const Stream nineGroups{16, 16, false, Literals(16, [](std::uint32_t i) { return i % 9; })};
  const std::string frameHeader =
      std::string(6, '\0') + LittleEndian(15, 3) + LittleEndian(15, 3) + std::string(4, '\0');
  struct Case {
    const char* Name;
    std::string File;
    bool Animated;
    std::uint64_t Groups;
  };
  const Case cases[] = {
      {"a lossless picture", Riff(ChunkOf("VP8L", LosslessChunk(fiveGroups))), false, 5},
      {"a lossy picture with a lossless alpha plane",
       Riff(Vp8x(16, 16, false) + LosslessAlpha(fiveGroups) + LossyImage), false, 5},
      {"whichever of two alpha planes libwebp takes",
       Riff(Vp8x(16, 16, false) + LosslessAlpha(fiveGroups) + LosslessAlpha(nineGroups) + LossyImage), false, 9},
      {"an alpha plane stored as it is", Riff(Vp8x(16, 16, false) + ChunkOf("ALPH", "\0abc") + LossyImage), false, 0},
      {"the first frame of an animation",
       Riff(Vp8x(32, 32, true) + ChunkOf("ANIM", std::string(6, '\0')) +
            ChunkOf("ANMF", frameHeader + LosslessAlpha(fiveGroups) + LossyImage) +
            ChunkOf("ANMF", frameHeader + LosslessAlpha(nineGroups) + LossyImage)),
       true, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::vector<std::uint8_t> file(c.File.begin(), c.File.end());
    EXPECT_EQ(HuffmanTableBytes(file, c.Animated, c.Animated ? 32 : 16, c.Animated ? 32 : 16),
              c.Groups * HuffmanTableBytesPerGroup);
  }
  const std::string beyondCanvas = Riff(Vp8x(8, 8, true) + ChunkOf("ANMF", frameHeader + LossyImage));
  EXPECT_THROW(HuffmanTableBytes(std::vector<std::uint8_t>(beyondCanvas.begin(), beyondCanvas.end()), true, 8, 8),
               PictureError);
}

// ---- loading ----

std::string Encoded(bool lossless) {
  constexpr int Width = 64, Height = 48;
  std::vector<std::uint8_t> rgba;
  for (int i = 0; i < Width * Height; ++i)
    rgba.insert(rgba.end(), {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i / 7), 90,
                             static_cast<std::uint8_t>(i / 13)});
  std::uint8_t* output = nullptr;
  const std::size_t size = lossless ? WebPEncodeLosslessRGBA(rgba.data(), Width, Height, Width * 4, &output)
                                    : WebPEncodeRGBA(rgba.data(), Width, Height, Width * 4, 80, &output);
  std::string bytes(reinterpret_cast<const char*>(output), size);
  WebPFree(output);
  return bytes;
}

TEST(WebpTables, LoadingCountsTheTablesWithThePixels) {
  const TempFolder folder;
  WorkingBitmap bitmap;
  EXPECT_EQ(LoadPicture(folder.Write("lossless.webp", Encoded(true)), bitmap), (PictureSize{48, 64}));
  EXPECT_EQ(LoadPicture(folder.Write("alpha.webp", Encoded(false)), bitmap), (PictureSize{48, 64}));
  const Stream everyGroup{1024, 1024, false, Literals(65536, [](std::uint32_t i) { return i; })};
  const std::string bomb = folder.Write("groups.webp", Riff(ChunkOf("VP8L", LosslessChunk(everyGroup))));
  try {
    LoadPicture(bomb, bitmap);
    ADD_FAILURE() << "a picture of 65536 groups loaded";
  } catch (const PictureError& error) {
    EXPECT_NE(std::string(error.what()).find("WebP: the picture is too large for the "), std::string::npos)
        << error.what();
  }
}

}  // namespace
}  // namespace tessimar
