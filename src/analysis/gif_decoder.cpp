#include "analysis/gif_decoder.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "analysis/file_stream.h"
#include "analysis/picture_error.h"
#include "analysis/rgb_picture.h"

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

void DrawRow(const GifByteType* line, const GifImageDesc& frame, const ColorMapObject* map, int transparent,
             std::uint8_t* screenRow, std::int32_t screenWidth) {
  for (int i = 0; i < frame.Width; ++i) {
    const std::int64_t x = static_cast<std::int64_t>(frame.Left) + i;
    if (x >= screenWidth || line[i] == transparent) continue;
    const Colour colour = ColourAt(map, line[i]);
    std::copy(colour.begin(), colour.end(), screenRow + x * 3);
  }
}

// Hands the screen's rows to the sink in order, each the background with the frame's line
// drawn over it where the frame covers that row.
class ScreenRows {
 public:
  ScreenRows(const GifFileType& gif, int transparent, RowSink& sink)
      : gif_(gif), transparent_(transparent), sink_(sink), row_(static_cast<std::size_t>(gif.SWidth) * 3) {
    if (transparent != NO_TRANSPARENT_COLOR) background_ = ColourAt(gif.SColorMap, gif.SBackGroundColor);
  }

  // The frame's line for screen row y; rows above it go first.
  void Frame(std::int64_t y, const GifByteType* line) {
    if (y >= gif_.SHeight) return;
    EmitBackgroundUpTo(y);
    Fill();
    const ColorMapObject* map = gif_.Image.ColorMap != nullptr ? gif_.Image.ColorMap : gif_.SColorMap;
    DrawRow(line, gif_.Image, map, transparent_, row_.data(), gif_.SWidth);
    sink_.Row(next_++, row_.data());
  }

  void Finish() { EmitBackgroundUpTo(gif_.SHeight); }

 private:
  void Fill() {
    for (std::size_t i = 0; i < row_.size(); i += 3) std::copy(background_.begin(), background_.end(), &row_[i]);
  }
  void EmitBackgroundUpTo(std::int64_t y) {
    if (next_ >= y) return;
    Fill();
    while (next_ < y) sink_.Row(next_++, row_.data());
  }

  const GifFileType& gif_;
  int transparent_;
  RowSink& sink_;
  Colour background_{0, 0, 0};
  std::vector<std::uint8_t> row_;
  std::int32_t next_ = 0;
};

// A read error ends the data, which giflib reports as a read failure.
int ReadInput(GifFileType* gif, GifByteType* data, int size) {
  const auto got = static_cast<FileStream*>(gif->UserData)->Read(data, static_cast<std::size_t>(size));
  return static_cast<int>(got.value_or(0));
}

void ReadLine(GifFileType& gif, GifByteType* line) { Check(gif, DGifGetLine(&gif, line, gif.Image.Width)); }

// An interlaced frame stores its rows in four passes, so it is read whole first.
void ReadInterlaced(GifFileType& gif, ScreenRows& screen) {
  const GifImageDesc& frame = gif.Image;
  const auto width = static_cast<std::size_t>(frame.Width);
  std::vector<GifByteType> lines(width * static_cast<std::size_t>(frame.Height));
  constexpr int Starts[] = {0, 4, 2, 1}, Steps[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (int y = Starts[pass]; y < frame.Height; y += Steps[pass])
      ReadLine(gif, &lines[static_cast<std::size_t>(y) * width]);
  }
  for (int y = 0; y < frame.Height; ++y)
    screen.Frame(std::int64_t{frame.Top} + y, &lines[static_cast<std::size_t>(y) * width]);
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
