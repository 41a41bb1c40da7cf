#include "analysis/signature/median_filter.h"

#include <algorithm>

namespace tessimar {
namespace {

// The fifth smallest of the nine values around (r, c) as they stand now.
std::uint8_t WindowMedian(const GrayPixels& bitmap, int r, int c) {
  std::array<std::uint8_t, 9> window{};
  std::size_t n = 0;
  for (int dr = -1; dr <= 1; ++dr) {
    for (int dc = -1; dc <= 1; ++dc) window[n++] = bitmap[ElementIndex(r + dr, c + dc)];
  }
  std::nth_element(window.begin(), window.begin() + 4, window.end());
  return window[4];
}

}  // namespace

void MedianFilter(GrayPixels& bitmap) {
  // Order exact on purpose: in place, from the second-to-last row up and right to left, so each
  // window already sees the filtered row below and the filtered pixels to its right.
  for (int r = NumberOfPixels - 2; r >= 1; --r) {
    for (int c = NumberOfPixels - 2; c >= 1; --c) bitmap[ElementIndex(r, c)] = WindowMedian(bitmap, r, c);
  }
}

}  // namespace tessimar
