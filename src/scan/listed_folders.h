// Which listed folders a scan walks: none that another listed folder already covers.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tessimar {

// True when folders[index] lies below another listed folder, or the same folder stands
// earlier in the list. Texts compare exactly: this file system tells case apart.
bool IsCoveredFolder(const std::vector<std::string>& folders, std::size_t index);

}  // namespace tessimar
