// Camera raws through LibRaw: damaged copies develop the same on every load, and a camera file
// that is no picture at all says so.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "decode/picture_error.h"
#include "decode/picture_loader.h"
#include "file_state.h"
#include "picture_fixtures.h"
#include "stale_heap.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

using testing::TempFolder;

constexpr int Width = 64, Height = 48;

testing::RawSensor Sensor() { return testing::StructuredSensor(Width, Height); }

// The JPEG image the picture develops into, or the text of the failure.
std::string Outcome(const std::string& path) {
  try {
    const std::vector<std::uint8_t> jpeg = PictureAsJpeg(path);
    return {jpeg.begin(), jpeg.end()};
  } catch (const PictureError& error) {
    return std::string("failed: ") + error.what();
  }
}

constexpr std::uint8_t StaleBytes[] = {0x00, 0x5A, 0xFF};

TEST(RawDecoder, DamagedRawsDevelopTheSameWhateverTheMemoryHeld) {
  const std::string intact = testing::DngBytes(Sensor(), Height);
  const std::size_t strip = intact.find("\xFF\xD8");  // the lossless JPEG, which ends the file
  ASSERT_NE(strip, std::string::npos);
  std::string overwritten = intact, unmarked = intact;
  for (std::size_t i = strip + (intact.size() - strip) / 2; i < intact.size(); ++i)
    overwritten[i] = static_cast<char>(i * 37);
  unmarked.replace(strip, 2, "<>");
  struct Case {
    const char* Name;
    std::string Bytes;
  };
  const Case cases[] = {
      {"a frame of a third of the rows", testing::DngBytes(Sensor(), Height / 3)},
      {"truncated within the data", intact.substr(0, strip + (intact.size() - strip) / 2)},
      {"second half of the data overwritten", overwritten},
      {"data without its start marker", unmarked},
      {"our own sample, whose data is a placeholder", testing::ReadFileBytes(TESSIMAR_TEST_DATA "raw_sample.cr2")},
  };
  const TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string path = folder.Write("damaged.cr2", c.Bytes);
    std::vector<std::string> outcomes;
    for (const std::uint8_t stale : StaleBytes) {
      const testing::StaleHeap heap(stale);
      outcomes.push_back(Outcome(path));
    }
    for (std::size_t i = 1; i < outcomes.size(); ++i)
      EXPECT_TRUE(outcomes[i] == outcomes[0]) << "stale byte " << +StaleBytes[i];
  }
}

// What a raw's data leaves out develops as samples of zero, the same as data that codes zeros.
TEST(RawDecoder, RowsWithoutDataDevelopAsZeros) {
  testing::RawSensor zeroed = Sensor();
  std::fill(zeroed.Samples.begin() + Height / 3 * Width, zeroed.Samples.end(), 0);
  const TempFolder folder;
  const std::string expected = Outcome(folder.Write("coded zeros.cr2", testing::DngBytes(zeroed, Height)));
  ASSERT_FALSE(expected.starts_with("failed")) << expected;
  const std::string partial = folder.Write("partial.cr2", testing::DngBytes(Sensor(), Height / 3));
  for (const std::uint8_t stale : StaleBytes) {
    SCOPED_TRACE(+stale);
    const testing::StaleHeap heap(stale);
    EXPECT_TRUE(Outcome(partial) == expected);
  }
  EXPECT_FALSE(Outcome(folder.Write("intact.cr2", testing::DngBytes(Sensor(), Height))) == expected);
}

TEST(RawDecoder, ACameraFileOfNoKnownFormatSaysSo) {
  struct Case {
    const char* Name;
    std::string Bytes;
  };
  const Case cases[] = {
      {"empty", ""},
      {"a line of text", "just some text\n"},
      {"text longer than any raw header", std::string(5000, 't')},
      {"zeros", std::string(500, '\0')},
  };
  const TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string outcome = Outcome(folder.Write("x.cr2", c.Bytes));
    EXPECT_EQ(outcome, "failed: raw: format not recognised (neither a camera raw nor a known picture type)");
  }
  // Camera raws are TIFF files: one too short for LibRaw to read at all is the TIFF decoder's to judge.
  const std::string outcome = Outcome(folder.Write("x.cr2", std::string("II*\0garbage", 11)));
  EXPECT_TRUE(outcome.starts_with("failed: TIFF: ")) << outcome;
}

}  // namespace
}  // namespace tessimar
