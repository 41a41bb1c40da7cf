#include "analysis/gif_decoder.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <memory>

#include "analysis/file_reading.h"
#include "analysis/picture_error.h"

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

// Frame rows in the order they are stored: four passes when interlaced.
std::vector<int> StoredRowOrder(const GifImageDesc& frame) {
  std::vector<int> order;
  if (!frame.Interlace) {
    for (int y = 0; y < frame.Height; ++y) order.push_back(y);
    return order;
  }
  constexpr int Starts[] = {0, 4, 2, 1}, Steps[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (int y = Starts[pass]; y < frame.Height; y += Steps[pass]) order.push_back(y);
  }
  return order;
}

void DrawRow(const std::vector<GifByteType>& line, const GifImageDesc& frame, const ColorMapObject* map,
             int transparent, std::int32_t y, RgbPicture& screen) {
  if (y < 0 || y >= screen.Height) return;
  for (int i = 0; i < frame.Width; ++i) {
    const std::int64_t x = static_cast<std::int64_t>(frame.Left) + i;
    if (x < 0 || x >= screen.Width || line[i] == transparent) continue;
    const Colour colour = ColourAt(map, line[i]);
    std::copy(colour.begin(), colour.end(), screen.Row(y) + x * 3);
  }
}

RgbPicture ReadFirstFrame(GifFileType& gif, int transparent) {
  Check(gif, DGifGetImageDesc(&gif));
  const GifImageDesc& frame = gif.Image;
  CheckAnnouncedSize(frame.Width, frame.Height);
  const ColorMapObject* map = frame.ColorMap != nullptr ? frame.ColorMap : gif.SColorMap;
  if (map == nullptr) throw PictureError("GIF: the first frame has no colour table");

  RgbPicture screen = MakeRgbPicture(gif.SWidth, gif.SHeight);
  if (transparent != NO_TRANSPARENT_COLOR) {
    const Colour background = ColourAt(gif.SColorMap, gif.SBackGroundColor);
    for (std::size_t i = 0; i < screen.Pixels.size(); i += 3)
      std::copy(background.begin(), background.end(), &screen.Pixels[i]);
  }
  std::vector<GifByteType> line(static_cast<std::size_t>(frame.Width));
  for (const int row : StoredRowOrder(frame)) {
    Check(gif, DGifGetLine(&gif, line.data(), frame.Width));
    DrawRow(line, frame, map, transparent, frame.Top + row, screen);
  }
  return screen;
}

}  // namespace

RgbPicture DecodeGif(const std::string& fileName) {
  RequireRegularFile(fileName);
  int error = 0;
  const GifHandle gif(DGifOpenFileName(fileName.c_str(), &error));
  if (gif == nullptr) ThrowGifError(error);
  CheckAnnouncedSize(gif->SWidth, gif->SHeight);
  int transparent = NO_TRANSPARENT_COLOR;
  for (;;) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    Check(*gif, DGifGetRecordType(gif.get(), &type));
    if (type == IMAGE_DESC_RECORD_TYPE) return ReadFirstFrame(*gif, transparent);
    if (type != EXTENSION_RECORD_TYPE) throw PictureError("GIF: no frame");
    ReadExtension(*gif, transparent);
  }
}

}  // namespace tessimar
