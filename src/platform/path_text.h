// Folder paths as the program keeps them: ending in '/'.
#pragma once

#include <string>

namespace tessimar {

inline std::string WithTrailingSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

}  // namespace tessimar
