// What decoding a picture whole may cost, held to the data it brings. HEIF and WebP pictures
// are decoded whole by their libraries, and a little data can announce a huge flat picture:
// a file of a megabyte could otherwise cost gigabytes.
#pragma once

#include <cstdint>
#include <string_view>

namespace tessimar {

// Any picture may cost this much; a 12-megapixel photograph at 16 bits a sample stays within it.
inline constexpr std::uint64_t FreeDecodingBytes = std::uint64_t{192} << 20;
// Past it, each byte of data pays for this many bytes of decoding.
inline constexpr std::uint64_t MostDecodingBytesPerDataByte = 64;

// Throws PictureError, its message starting with format, when decoding a picture of pixels
// pixels at bytesPerPixel, and extraBytes besides, would cost more than dataBytes of data allow.
void CheckDecodingCost(std::string_view format, std::uint64_t pixels, std::uint64_t bytesPerPixel,
                       std::uint64_t dataBytes, std::uint64_t extraBytes = 0);

// Decoding takes time for each pixel decoded, and a picture may be decoded many times over (the
// same tile in each place of a grid). Any decoding may cost this much work, in pixels decoded
// and bytes of coded data read; past it, each byte of data pays for this much. At some 50 ns a
// pixel, a file of a megabyte decodes within two seconds.
inline constexpr std::uint64_t FreeDecodingWork = std::uint64_t{24} << 20;
inline constexpr std::uint64_t MostDecodingWorkPerDataByte = 8;

// Throws PictureError, its message starting with format, when decoding work of that much would
// cost more than dataBytes of data allow.
void CheckDecodingWork(std::string_view format, std::uint64_t work, std::uint64_t dataBytes);

}  // namespace tessimar
