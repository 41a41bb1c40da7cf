#include "decode/preview_picture.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "decode/jpeg_fast_decoder.h"
#include "decode/picture_error.h"
#include "decode/picture_loader.h"
#include "platform/regular_file.h"

namespace tessimar {
namespace {

constexpr std::int32_t MinimumPen = 2;
constexpr std::int32_t PenDivisor = 20;
constexpr std::uint8_t White = 255;

int PreviewScaleDenominator(std::int32_t height, std::int32_t width) {
  if (height > 1500 || width > 2000) return 4;
  if (height > 1000 || width > 1000) return 2;
  return 1;
}

// The system's reason goes into the message, as the user sees it; a file that opens but is
// no regular file is refused by the loader.
void RequireOpenable(const std::string& fileName) {
  const RegularFile file(fileName);
  if (file.Refused() == RegularFile::Refusal::CannotOpen)
    throw PictureError("Cannot open file \"" + fileName + "\". " + std::strerror(file.Error()));
}

void PaintWhite(RgbPicture& picture, std::int32_t y, std::int32_t fromX, std::int32_t toX) {
  std::fill(picture.Row(y) + fromX * 3, picture.Row(y) + toX * 3, White);
}

}  // namespace

RgbPicture LoadPreviewPicture(const std::string& fileName, std::int32_t height, std::int32_t width) {
  RequireOpenable(fileName);
  try {
    return DecodeJpegFast(PictureAsJpeg(fileName), PreviewScaleDenominator(height, width));
  } catch (const PictureError&) {
    throw;
  } catch (const std::exception& error) {
    throw PictureError(error.what());
  }
}

void DrawFrame(RgbPicture& picture) {
  const std::int32_t w = picture.Width, h = picture.Height;
  const std::int32_t pen = std::max(MinimumPen, std::min(w, h) / PenDivisor);
  const std::int32_t topLeft = std::min({pen - pen / 2, w, h});
  const std::int32_t bottomRight = pen / 2;
  for (std::int32_t y = 0; y < h; ++y) {
    if (y < topLeft || y >= h - bottomRight) {
      PaintWhite(picture, y, 0, w);
    } else {
      PaintWhite(picture, y, 0, topLeft);
      PaintWhite(picture, y, std::max(w - bottomRight, 0), w);
    }
  }
}

}  // namespace tessimar
