// A whole decoded picture, and the size check that comes before allocating one.
#pragma once

#include <cstdint>
#include <vector>

namespace tessimar {

// More pixels than this in a header fail the load before any pixel buffer exists.
inline constexpr std::int64_t MaxPicturePixels = 250'000'000;
// Every decoded picture is re-encoded as JPEG, which holds no longer side than this.
inline constexpr std::int64_t MaxPictureSide = 65500;

// 24-bit RGB, row-major, top row first, rows packed without padding.
struct RgbPicture {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::vector<std::uint8_t> Pixels;

  std::uint8_t* Row(std::int32_t y) { return Pixels.data() + static_cast<std::size_t>(y) * Width * 3; }
  const std::uint8_t* Row(std::int32_t y) const { return Pixels.data() + static_cast<std::size_t>(y) * Width * 3; }
};

// Throws PictureError unless a width x height picture is non-empty and within the limits.
void CheckAnnouncedSize(std::int64_t width, std::int64_t height);

// A black picture of that size, after CheckAnnouncedSize.
RgbPicture MakeRgbPicture(std::int64_t width, std::int64_t height);

}  // namespace tessimar
