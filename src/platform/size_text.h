// A file size as the preview's info line shows it.
#pragma once

#include <cstdint>
#include <string>

namespace tessimar {

// Below 1024: the integer and " B"; below 1,048,576: bytes / 1024 as "%.0f" and " KB"; below
// 1,073,741,824: bytes / 1,048,576 as "%.2f" and " MB"; otherwise bytes / 1,073,741,824 as
// "%.3f" and " GB". printf's rounding holds, so an exact half rounds to even.
std::string SizeText(std::int64_t bytes);

}  // namespace tessimar
