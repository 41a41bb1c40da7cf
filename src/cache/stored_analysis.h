// How the parts of an analysis are kept as blobs: a probe as its 256 bytes, a signature
// list as one (row, column) byte pair per kept position, in the list's order.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/pic_info.h"

namespace tessimar {

std::string PositionsBlob(const TWaveletCoefs& positions);
// False, leaving positions in an unspecified state, for a blob that no signature list
// gives (a position off the array, (0, 0), more than 250): the entry is not trusted.
bool ReadPositions(std::string_view blob, TWaveletCoefs& positions);

std::string ProbeBlob(const TPreBuffer& probe);
bool ReadProbe(std::string_view blob, TPreBuffer& probe);

}  // namespace tessimar
