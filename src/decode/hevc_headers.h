// The HEVC headers of a HEIF item: the sequence parameter sets (picture size and sample depth)
// and the slices that start pictures, which libde265 decodes one after another.
#pragma once

#include <cstdint>
#include <span>

#include "decode/coded_pictures.h"

namespace tessimar {

// An item's data: NAL units, each after its size in four bytes, as libheif hands them on.
void ScanHevcData(std::span<const std::uint8_t> data, CodedPictures& pictures);
// An hvcC box's body: the parameter sets libheif puts before the item's data.
void ScanHevcConfiguration(std::span<const std::uint8_t> hvcc, CodedPictures& pictures);

}  // namespace tessimar
