// How many Huffman groups libwebp builds tables for when it decodes a lossless (VP8L) stream.
// Each group costs up to 20 kB of tables, and a stream may use 65536 of them: a file of 300 kB
// could make libwebp take 400 MB for a picture of one megapixel. The count is read the way
// libwebp reads it: through the transforms, to the meta Huffman image and its distinct values.
#pragma once

#include <cstdint>
#include <span>

namespace tessimar {

// The tables one group may take: five codes, for the largest colour cache.
inline constexpr std::uint64_t HuffmanTableBytesPerGroup = 5002 * 4;

// The stream of a VP8L chunk: signature, size and then the image, which must be of the
// picture's size (libwebp refuses any other). Throws PictureError for damaged data.
std::uint64_t Vp8lImageGroups(std::span<const std::uint8_t> chunk, int width, int height);
// The stream of an ALPH chunk compressed losslessly: the image alone, of the picture's size.
std::uint64_t Vp8lAlphaGroups(std::span<const std::uint8_t> stream, int width, int height);

}  // namespace tessimar
