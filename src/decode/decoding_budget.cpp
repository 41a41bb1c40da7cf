#include "decode/decoding_budget.h"

#include <string>

#include "decode/picture_error.h"

namespace tessimar {

void CheckDecodingCost(std::string_view format, std::uint64_t pixels, std::uint64_t bytesPerPixel,
                       std::uint64_t dataBytes) {
  const std::uint64_t allowed = FreeDecodingBytes + dataBytes * MostDecodingBytesPerDataByte;
  if (pixels * bytesPerPixel <= allowed) return;
  throw PictureError(std::string(format) + ": the picture is too large for the " + std::to_string(dataBytes) +
                     " bytes of data that hold it");
}

}  // namespace tessimar
