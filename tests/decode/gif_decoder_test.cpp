#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "decode/file_reading.h"
#include "decode/gif_decoder.h"
#include "decode/row_sink.h"
#include "picture_fixtures.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

using testing::GifFrame;
using testing::Rgb;

class KeepingSink : public RowSink {
 public:
  void Begin(std::int32_t width, std::int32_t) override { Width = width; }
  void Row(std::int32_t, const std::uint8_t* rgb) override {
    Rows.insert(Rows.end(), rgb, rgb + static_cast<std::size_t>(Width) * 3);
  }
  std::int32_t Width = 0;
  std::vector<std::uint8_t> Rows;
};

// The screen as it should come out: the frame over the background, which is the background
// colour when the frame has a transparent colour and black otherwise.
std::vector<std::uint8_t> ExpectedScreen(const testing::GifOptions& gif) {
  const GifFrame& frame = gif.Frames[0];
  const bool transparency = frame.Transparent != NO_TRANSPARENT_COLOR;
  const Rgb background = transparency ? gif.GlobalColours[static_cast<std::size_t>(gif.Background)] : Rgb{};
  const std::vector<Rgb>& colours = frame.LocalColours.empty() ? gif.GlobalColours : frame.LocalColours;
  std::vector<std::uint8_t> screen;
  for (int y = 0; y < gif.ScreenHeight; ++y) {
    for (int x = 0; x < gif.ScreenWidth; ++x) {
      const int fx = x - frame.Left, fy = y - frame.Top;
      Rgb pixel = background;
      if (fx >= 0 && fx < frame.Width && fy >= 0 && fy < frame.Height) {
        const int index = frame.Indices[static_cast<std::size_t>(fy * frame.Width + fx)];
        if (index != frame.Transparent) pixel = colours[static_cast<std::size_t>(index)];
      }
      screen.insert(screen.end(), {pixel.R, pixel.G, pixel.B});
    }
  }
  return screen;
}

TEST(GifDecoder, FrameIsDrawnOverTheBackgroundAndClippedToTheScreen) {
  const std::vector<Rgb> global{{200, 0, 0}, {0, 150, 0}, {0, 0, 250}, {90, 90, 90}};
  std::mt19937 random(5);
  // Rows 2 to 5 alike, so that an interlaced frame keeps repeated lines once.
  const auto frame = [&](int left, int top, int width, int height) {
    GifFrame f{left, top, width, height};
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) f.Indices.push_back(y >= 2 && y <= 5 ? x % 4 : random() % 4);
    }
    return f;
  };
  struct Case {
    const char* Name;
    GifFrame Frame;
    bool Interlaced;
    int Transparent;
    std::vector<Rgb> Local;
  };
  const Case cases[] = {
      {"inset", frame(3, 2, 5, 4), false, NO_TRANSPARENT_COLOR, {}},
      {"past the right and bottom edges", frame(9, 6, 6, 5), false, NO_TRANSPARENT_COLOR, {}},
      {"right of the screen", frame(20, 1, 4, 4), false, NO_TRANSPARENT_COLOR, {}},
      {"transparent colour", frame(1, 1, 10, 7), false, 2, {}},
      {"interlaced, past the edges", frame(4, 1, 11, 13), true, NO_TRANSPARENT_COLOR, {}},
      {"interlaced, transparent colour", frame(0, 0, 12, 9), true, 1, {}},
      {"local colour table", frame(2, 0, 6, 9), false, NO_TRANSPARENT_COLOR,
       {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}}},
  };
  const testing::TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    GifFrame f = c.Frame;
    f.Interlaced = c.Interlaced, f.Transparent = c.Transparent, f.LocalColours = c.Local;
    const testing::GifOptions gif{12, 9, 3, global, {f}};
    const OpenedFile file(folder.Write("f.gif", testing::GifBytes(gif)));
    KeepingSink sink;
    DecodeGif(file, sink);
    EXPECT_EQ(sink.Rows, ExpectedScreen(gif));
  }
}

}  // namespace
}  // namespace tessimar
