#include "decode/rgb_picture.h"

#include <string>

#include "decode/picture_error.h"

namespace tessimar {

void CheckAnnouncedSize(std::int64_t width, std::int64_t height) {
  const std::string size = std::to_string(width) + " x " + std::to_string(height);
  if (width <= 0 || height <= 0) throw PictureError("empty picture (" + size + ")");
  if (width > MaxPictureSide || height > MaxPictureSide) {
    throw PictureError("picture of " + size + " has a side longer than a JPEG image holds");
  }
  if (width * height > MaxPicturePixels) throw PictureError("picture of " + size + " has too many pixels");
}

RgbPicture MakeRgbPicture(std::int64_t width, std::int64_t height) {
  CheckAnnouncedSize(width, height);
  RgbPicture picture;
  picture.Width = static_cast<std::int32_t>(width);
  picture.Height = static_cast<std::int32_t>(height);
  picture.Pixels.assign(static_cast<std::size_t>(width * height * 3), 0);
  return picture;
}

}  // namespace tessimar
