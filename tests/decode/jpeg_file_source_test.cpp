// A JPEG read from its file through a bounded buffer decodes as its bytes in memory do, files
// cut short included: the same pictures load, to the same bits, and the same ones fail.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "decode/file_reading.h"
#include "decode/jpeg_decoder.h"
#include "decode/picture_error.h"
#include "picture_fixtures.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

// Noise compresses badly, so the file spans several of the source's buffers.
std::string NoisyJpeg() {
  const testing::Image image = testing::MakeImage(640, 400, 3, [](int x, int y) {
    const auto noise = static_cast<std::uint32_t>(x * 7919 + y * 104729) * 2654435761u;
    return std::vector<std::uint8_t>{static_cast<std::uint8_t>(noise >> 24), static_cast<std::uint8_t>(x),
                                     static_cast<std::uint8_t>(noise >> 16)};
  });
  return testing::JpegBytes(image);
}

// A comment segment of the longest length, which libjpeg skips without reading.
std::string LongComment() { return std::string("\xFF\xFE\xFF\xFF", 4) + std::string(0xFFFF - 2, 'c'); }

struct Outcome {
  bool Loaded = false;
  PictureSize Size{};
  WorkingBitmap Bitmap{};
};

template <typename Input>
Outcome Decode(const Input& input) {
  Outcome outcome;
  try {
    outcome.Size = DrawJpeg(input, {}, outcome.Bitmap);
    outcome.Loaded = true;
  } catch (const PictureError&) {
  }
  return outcome;
}

TEST(JpegFileSource, DecodesAsTheBytesInMemory) {
  const std::string jpeg = NoisyJpeg();
  ASSERT_GT(jpeg.size(), 2u * 64 * 1024);
  const std::size_t scan = jpeg.find("\xFF\xDA"), end = jpeg.size() - 2;  // end: where the EOI marker starts
  const std::string commented = jpeg.substr(0, 2) + LongComment() + jpeg.substr(2);
  const std::string trailing = jpeg.substr(0, end) + LongComment() + jpeg.substr(end);
  struct Case {
    const char* Name;
    std::string Bytes;
    bool Loads;
  };
  const Case cases[] = {
      {"whole", jpeg, true},
      {"cut in the scan", jpeg.substr(0, (scan + end) / 2), true},
      {"a comment longer than the buffer", commented, true},
      {"cut inside a comment before the frame", commented.substr(0, 1000), false},
      // Every two bytes skipped past the end are a fake end marker and a warning.
      {"cut far inside a trailing comment", trailing.substr(0, end + 100), false},
      {"cut near the end of a trailing comment", trailing.substr(0, end + 0xFFFF + 2 - 150), true},
  };
  const testing::TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const Outcome memory = Decode(std::vector<std::uint8_t>(c.Bytes.begin(), c.Bytes.end()));
    const Outcome file = Decode(OpenedFile(folder.Write("a.jpg", c.Bytes)));
    EXPECT_EQ(memory.Loaded, c.Loads);
    EXPECT_EQ(file.Loaded, c.Loads);
    EXPECT_EQ(file.Size, memory.Size);
    EXPECT_TRUE(file.Bitmap.Pixels == memory.Bitmap.Pixels);
  }
}

}  // namespace
}  // namespace tessimar
