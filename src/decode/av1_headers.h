// The AV1 headers of a HEIF item: the sequence headers (largest frame and sample depth) and the
// frames, which dav1d decodes until one is shown.
#pragma once

#include <cstdint>
#include <span>

#include "decode/coded_pictures.h"

namespace tessimar {

// An item's data: OBUs in the low-overhead format, each with its size.
void ScanAv1Data(std::span<const std::uint8_t> data, CodedPictures& pictures);
// An av1C box's body: the configuration OBUs after its four bytes of fields.
void ScanAv1Configuration(std::span<const std::uint8_t> av1c, CodedPictures& pictures);

}  // namespace tessimar
