// The records of one scan: a catalogued picture, a found pair, and their parts.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/file_identity.h"

namespace tessimar {

// Side of the working bitmap and of the coefficient array.
inline constexpr int NumberOfPixels = 128;
// Kept coefficients of one signature, positive and negative together.
inline constexpr int SignatureSize = 250;
// Length of the content probe, the first bytes of a file.
inline constexpr int PreBufferSize = 256;

enum class TCCVStage : std::uint8_t { None = 0, OnlyTotal = 1, Full = 2 };

// One kept coefficient: X is the row (0 = top), Y the column (0 = left).
// (0, 0) is never kept, so it marks an unused entry.
struct TWaveletPoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  friend bool operator==(const TWaveletPoint&, const TWaveletPoint&) = default;
};

using TWaveletCoefs = std::array<TWaveletPoint, SignatureSize>;
using TPreBuffer = std::array<std::uint8_t, PreBufferSize>;

struct TPicInfo {
  std::int32_t Time = 0;  // DOS date in the high 16 bits, DOS time in the low 16 bits
  std::int64_t Size = 0;
  std::int32_t Attr = 0;
  std::string FileName;   // name only; the folder is PathList[PathInd]
  std::int32_t PathInd = 0;
  bool Deleted = false;
  TCCVStage CCVStage = TCCVStage::None;
  TWaveletCoefs WaveletCoefsPos{};
  TWaveletCoefs WaveletCoefsNeg{};
  std::int32_t Height = 0;
  std::int32_t Width = 0;
  TPreBuffer PreBuffer{};
  // Device and inode as the walk found them: two names of one file are one picture.
  FileIdentity Identity;
};

struct TPicturePair {
  std::int32_t PicIndex1 = 0;  // the earlier picture: left side, first column
  std::int32_t PicIndex2 = 0;  // the picture whose analysis found the match
  double Similarity = 0;       // percent, 1 to 100
};

}  // namespace tessimar
