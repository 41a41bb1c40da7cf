// What a coded picture stream of a HEIF item asks its decoder for, read from its own headers
// before the decoder runs: a container's sizes are claims, these are what the decoder allocates.
#pragma once

#include <cstdint>

namespace tessimar {

struct CodedPictures {
  std::uint64_t LargestPixels = 0;  // the largest picture a parameter set announces
  int Bits = 8;                     // the deepest samples announced
  std::uint64_t Pictures = 0;       // the pictures the stream starts
};

}  // namespace tessimar
