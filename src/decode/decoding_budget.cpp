#include "decode/decoding_budget.h"

#include <string>

#include "decode/picture_error.h"

namespace tessimar {

void CheckDecodingCost(std::string_view format, std::uint64_t pixels, std::uint64_t bytesPerPixel,
                       std::uint64_t dataBytes, std::uint64_t extraBytes) {
  const std::uint64_t allowed = FreeDecodingBytes + dataBytes * MostDecodingBytesPerDataByte;
  // pixels may be any count a header announces: divide rather than multiply
  if (extraBytes <= allowed && pixels <= (allowed - extraBytes) / bytesPerPixel) return;
  throw PictureError(std::string(format) + ": the picture is too large for the " + std::to_string(dataBytes) +
                     " bytes of data that hold it");
}

void CheckDecodingWork(std::string_view format, std::uint64_t work, std::uint64_t dataBytes) {
  if (work <= FreeDecodingWork + dataBytes * MostDecodingWorkPerDataByte) return;
  throw PictureError(std::string(format) + ": the picture would take too long to decode for the " +
                     std::to_string(dataBytes) + " bytes of data that hold it");
}

}  // namespace tessimar
