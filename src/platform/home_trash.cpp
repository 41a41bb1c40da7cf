#include "platform/home_trash.h"

#include <cstdlib>

#include "platform/path_text.h"

namespace tessimar {

std::string HomeTrashPath() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome != nullptr && dataHome[0] == '/') return WithTrailingSlash(dataHome) + "Trash/";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return WithTrailingSlash(home) + ".local/share/Trash/";
  return {};
}

}  // namespace tessimar
