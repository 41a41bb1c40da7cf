// A picture's own size, as its decoder delivers it.
#pragma once

#include <cstdint>

namespace tessimar {

struct PictureSize {
  std::int32_t Height = 0;
  std::int32_t Width = 0;
  friend bool operator==(const PictureSize&, const PictureSize&) = default;
};

}  // namespace tessimar
