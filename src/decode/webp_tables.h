// The Huffman tables libwebp builds to decode the first picture of a WebP file: those of its
// lossless image, or of its alpha plane compressed losslessly.
#pragma once

#include <cstdint>
#include <span>

namespace tessimar {

// file: the whole file; animated: whether libwebp decodes it as an animation, whose first frame
// has its own size within the canvas; width x height: the still picture's or the canvas's size.
// Throws PictureError for damaged lossless data.
std::uint64_t HuffmanTableBytes(std::span<const std::uint8_t> file, bool animated, int width, int height);

}  // namespace tessimar
