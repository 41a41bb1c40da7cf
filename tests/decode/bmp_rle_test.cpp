#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "byte_order.h"
#include "decode/bmp_decoder.h"
#include "decode/file_reading.h"
#include "decode/picture_error.h"
#include "decode/row_sink.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

using testing::LittleEndian;
using testing::TempFolder;

// Keeps every row as letters, one a pixel: the palette below maps index i to colour 'a' + i,
// and black (no such index) to '.'.
class LetterSink : public RowSink {
 public:
  void Begin(std::int32_t width, std::int32_t height) override {
    Width = width, Height = height;
    Rows.assign(static_cast<std::size_t>(height) <= MaxKept ? height : 0, std::string(width, '?'));
  }
  void Row(std::int32_t y, const std::uint8_t* rgb) override {
    EXPECT_EQ(y, Next++) << "rows come top first, in order";
    if (Rows.empty()) return;
    for (std::int32_t x = 0; x < Width; ++x)
      Rows[y][x] = rgb[x * 3] == 0 ? '.' : static_cast<char>('a' + rgb[x * 3] - 1);
  }
  static constexpr std::size_t MaxKept = 64;  // larger pictures only count their rows
  std::int32_t Width = 0, Height = 0, Next = 0;
  std::vector<std::string> Rows;
};

// An info-header bitmap of the given runs, with a colour table of four entries: index i is
// (i + 1, i + 1, i + 1), so that index 0, the background, is 'a'.
std::string RleBmp(std::int32_t width, std::int32_t height, bool rle4, const std::string& runs) {
  std::string palette;
  for (int i = 0; i < 4; ++i) palette += std::string(3, static_cast<char>(i + 1)) + '\0';
  const std::uint32_t offset = 14 + 40 + static_cast<std::uint32_t>(palette.size());
  const auto size = static_cast<std::uint32_t>(runs.size());
  return "BM" + LittleEndian(offset + size, 4) + LittleEndian(0, 4) + LittleEndian(offset, 4) + LittleEndian(40, 4) +
         LittleEndian(static_cast<std::uint32_t>(width), 4) + LittleEndian(static_cast<std::uint32_t>(height), 4) +
         LittleEndian(1, 2) + LittleEndian(rle4 ? 4 : 8, 2) + LittleEndian(rle4 ? 2 : 1, 4) + LittleEndian(size, 4) +
         LittleEndian(2835, 4) + LittleEndian(2835, 4) + LittleEndian(4, 4) + LittleEndian(0, 4) + palette + runs;
}

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += static_cast<char>(v);
  return out;
}

// Exact rows, top first, for streams that skip, overrun and stop early; the runs go bottom up.
TEST(BmpRle, RunsDrawTheExactRows) {
  struct Case {
    const char* Name;
    std::int32_t Width, Height;
    bool Rle4;
    std::string Runs;
    std::vector<std::string> Rows;
  };
  const Case cases[] = {
      {"encoded runs and end of line", 4, 3, false, Bytes({2, 1, 2, 5, 0, 0, 4, 3, 0, 0, 0, 1}),
       {"aaaa", "dddd", "bb.."}},
      {"a run past the width is cut, not wrapped", 3, 2, false, Bytes({5, 2, 0, 0, 1, 3, 0, 1}), {"daa", "ccc"}},
      {"a delta skips columns and rows", 4, 4, false, Bytes({0, 2, 1, 2, 1, 1, 0, 0, 2, 3, 0, 1}),
       {"ddaa", "abaa", "aaaa", "aaaa"}},
      {"end of bitmap leaves the rest", 2, 3, false, Bytes({2, 2, 0, 1}), {"aa", "aa", "cc"}},
      {"absolute run padded to 16 bits", 4, 2, false, Bytes({0, 3, 1, 2, 3, 0, 0, 0, 1, 3, 0, 1}), {"daaa", "bcda"}},
      {"rle4 runs alternate the halves", 5, 1, true, Bytes({5, 0x12, 0, 1}), {"bcbcb"}},
      {"rle4 absolute run, odd count", 4, 2, true, Bytes({0, 3, 0x31, 0x20, 0, 0, 2, 0x22, 0, 1}), {"ccaa", "dbca"}},
      {"a delta past the top ends the picture", 2, 2, false, Bytes({1, 1, 0, 2, 0, 9}), {"aa", "ba"}},
      {"rows after a delta keep its column", 3, 2, false, Bytes({0, 2, 2, 1, 1, 3, 0, 1}), {"aad", "aaa"}},
  };
  const TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    LetterSink sink;
    DecodeBmp(OpenedFile(folder.Write("r.bmp", RleBmp(c.Width, c.Height, c.Rle4, c.Runs))), sink);
    EXPECT_EQ(sink.Rows, c.Rows);
  }
}

// Runs cost what their data hold: a picture announced at the size limit whose runs end at once
// or touch one row loads, and runs that stop short fail, whatever the announced size.
TEST(BmpRle, TinyDataAnnouncingAHugePicture) {
  constexpr std::int32_t Side = 15000;
  struct Case {
    const char* Name;
    bool Rle4;
    std::string Runs;
    bool Loads;
  };
  const std::string toTop = Bytes({0, 2, 0, 255}) + Bytes({0, 2, 0, 255});
  std::string lastRow;
  for (int i = 0; i < Side / 255; ++i) lastRow += Bytes({0, 2, 0, 255});
  lastRow += Bytes({0, 2, 0, Side - 1 - Side / 255 * 255, 200, 3, 0, 1});
  const Case cases[] = {
      {"rle8 ends at once", false, Bytes({0, 1}), true},
      {"rle4 ends at once", true, Bytes({0, 1}), true},
      {"only the top row", false, lastRow, true},
      {"rle8 data missing", false, "", false},
      {"rle4 data cut in a run", true, Bytes({0, 200, 0x12}), false},
      {"deltas then nothing", false, toTop, false},
  };
  const TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    LetterSink sink;
    const std::string file = folder.Write("h.bmp", RleBmp(Side, Side, c.Rle4, c.Runs));
    if (!c.Loads) {
      EXPECT_THROW(DecodeBmp(OpenedFile(file), sink), PictureError);
      EXPECT_EQ(sink.Next, 0) << "no row before the runs are known to be whole";
      continue;
    }
    DecodeBmp(OpenedFile(file), sink);
    EXPECT_EQ(sink.Width, Side);
    EXPECT_EQ(sink.Next, Side);
  }
}

}  // namespace
}  // namespace tessimar
