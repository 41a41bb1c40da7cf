#include "decode/gif_decoder.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "decode/file_stream.h"
#include "decode/kept_rows.h"
#include "decode/picture_error.h"
#include "decode/rgb_picture.h"

namespace tessimar {
namespace {

using Colour = std::array<std::uint8_t, 3>;

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int error = 0;
    DGifCloseFile(gif, &error);
  }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

[[noreturn]] void ThrowGifError(int code) {
  const char* text = GifErrorString(code);
  throw PictureError(std::string("GIF: ") + (text != nullptr ? text : "unknown error"));
}

void Check(GifFileType& gif, int result) {
  if (result == GIF_ERROR) ThrowGifError(gif.Error);
}

// Black for an index the colour table does not hold.
Colour ColourAt(const ColorMapObject* map, int index) {
  if (map == nullptr || index < 0 || index >= map->ColorCount) return {0, 0, 0};
  const GifColorType& c = map->Colors[index];
  return {c.Red, c.Green, c.Blue};
}

// Reads one extension; a graphics control block sets the transparent colour of the next frame.
void ReadExtension(GifFileType& gif, int& transparent) {
  int code = 0;
  GifByteType* block = nullptr;
  Check(gif, DGifGetExtension(&gif, &code, &block));
  GraphicsControlBlock control{};
  if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr &&
      DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK) {
    transparent = control.TransparentColor;
  }
  while (block != nullptr) Check(gif, DGifGetExtensionNext(&gif, &block));
}

// Hands the screen's rows to the sink in order, each the background with the frame's line
// drawn over it where the frame covers that row. A transparent pixel takes the background's
// colour from the table, so every row of the frame writes the same columns, and the columns
// around them keep the background they were given once.
class ScreenRows {
 public:
  ScreenRows(const GifFileType& gif, int transparent, RowSink& sink) : gif_(gif), sink_(sink) {
    const ColorMapObject* map = gif.Image.ColorMap != nullptr ? gif.Image.ColorMap : gif.SColorMap;
    for (int i = 0; i < 256; ++i) colours_[static_cast<std::size_t>(i)] = ColourAt(map, i);
    Colour background{0, 0, 0};
    if (transparent != NO_TRANSPARENT_COLOR) {
      background = ColourAt(gif.SColorMap, gif.SBackGroundColor);
      if (transparent >= 0 && transparent < 256) colours_[static_cast<std::size_t>(transparent)] = background;
    }
    background_.reserve(static_cast<std::size_t>(gif.SWidth) * 3);
    for (std::int32_t x = 0; x < gif.SWidth; ++x) {
      background_.insert(background_.end(), background.begin(), background.end());
    }
    row_ = background_;
  }

  // The frame's line for screen row y; rows above it go first.
  void Frame(std::int64_t y, const GifByteType* line) {
    if (y >= gif_.SHeight) return;
    EmitBackgroundUpTo(y);
    Draw(line);
    sink_.Row(next_++, row_.data());
  }

  void Finish() { EmitBackgroundUpTo(gif_.SHeight); }

 private:
  void Draw(const GifByteType* line) {
    const std::int64_t left = gif_.Image.Left;
    const std::int64_t count = std::min<std::int64_t>(gif_.Image.Width, gif_.SWidth - left);
    if (count <= 0) return;
    std::uint8_t* out = row_.data() + left * 3;
    for (std::int64_t i = 0; i < count; ++i, out += 3) {
      const Colour& colour = colours_[line[i]];
      out[0] = colour[0], out[1] = colour[1], out[2] = colour[2];
    }
  }
  void EmitBackgroundUpTo(std::int64_t y) {
    while (next_ < y) sink_.Row(next_++, background_.data());
  }

  const GifFileType& gif_;
  RowSink& sink_;
  std::array<Colour, 256> colours_{};
  std::vector<std::uint8_t> background_;
  std::vector<std::uint8_t> row_;
  std::int32_t next_ = 0;
};

// A read error ends the data, which giflib reports as a read failure.
int ReadInput(GifFileType* gif, GifByteType* data, int size) {
  const auto got = static_cast<FileStream*>(gif->UserData)->Read(data, static_cast<std::size_t>(size));
  return static_cast<int>(got.value_or(0));
}

void ReadLine(GifFileType& gif, GifByteType* line) { Check(gif, DGifGetLine(&gif, line, gif.Image.Width)); }

// An interlaced frame stores its rows in four passes, so it is read whole first, each run of
// equal lines in a pass kept once.
void ReadInterlaced(GifFileType& gif, ScreenRows& screen) {
  const GifImageDesc& frame = gif.Image;
  const auto width = static_cast<std::size_t>(frame.Width);
  constexpr int Starts[] = {0, 4, 2, 1}, Steps[] = {8, 8, 4, 2};
  std::array<KeptRows, 4> passes;
  std::vector<GifByteType> line(width);
  for (int pass = 0; pass < 4; ++pass) {
    for (int y = Starts[pass]; y < frame.Height; y += Steps[pass]) {
      ReadLine(gif, line.data());
      passes[static_cast<std::size_t>(pass)].Add(line.data(), width);
    }
  }
  for (int y = 0; y < frame.Height; ++y) {
    const int pass = y % 8 == 0 ? 0 : y % 8 == 4 ? 1 : y % 4 == 2 ? 2 : 3;
    const auto index = static_cast<std::uint32_t>((y - Starts[pass]) / Steps[pass]);
    screen.Frame(std::int64_t{frame.Top} + y, passes[static_cast<std::size_t>(pass)].Row(index));
  }
}

void ReadFirstFrame(GifFileType& gif, int transparent, RowSink& sink) {
  Check(gif, DGifGetImageDesc(&gif));
  const GifImageDesc& frame = gif.Image;
  CheckAnnouncedSize(frame.Width, frame.Height);
  if (frame.ColorMap == nullptr && gif.SColorMap == nullptr)
    throw PictureError("GIF: the first frame has no colour table");
  sink.Begin(gif.SWidth, gif.SHeight);
  ScreenRows screen(gif, transparent, sink);
  if (frame.Interlace) {
    ReadInterlaced(gif, screen);
  } else {
    std::vector<GifByteType> line(static_cast<std::size_t>(frame.Width));
    for (int y = 0; y < frame.Height; ++y) {
      ReadLine(gif, line.data());
      screen.Frame(std::int64_t{frame.Top} + y, line.data());
    }
  }
  screen.Finish();
}

}  // namespace

void DecodeGif(const OpenedFile& file, RowSink& sink) {
  const auto stream = std::make_unique<FileStream>(file);
  int error = 0;
  const GifHandle gif(DGifOpen(stream.get(), ReadInput, &error));
  if (gif == nullptr) ThrowGifError(error);
  CheckAnnouncedSize(gif->SWidth, gif->SHeight);
  int transparent = NO_TRANSPARENT_COLOR;
  for (;;) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    Check(*gif, DGifGetRecordType(gif.get(), &type));
    if (type == IMAGE_DESC_RECORD_TYPE) return ReadFirstFrame(*gif, transparent, sink);
    if (type != EXTENSION_RECORD_TYPE) throw PictureError("GIF: no frame");
    ReadExtension(*gif, transparent);
  }
}

}  // namespace tessimar
