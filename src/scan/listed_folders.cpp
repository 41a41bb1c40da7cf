#include "scan/listed_folders.h"

namespace tessimar {

bool IsCoveredFolder(const std::vector<std::string>& folders, std::size_t index) {
  const std::string& folder = folders[index];
  for (std::size_t i = 0; i < folders.size(); ++i) {
    const std::string& other = folders[i];
    if (other.empty()) continue;
    if (other == folder ? i < index : folder.starts_with(other)) return true;
  }
  return false;
}

}  // namespace tessimar
