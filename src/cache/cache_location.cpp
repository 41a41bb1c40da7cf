#include "cache/cache_location.h"

#include <cstdlib>

#include "platform/path_text.h"
#include "settings/data_folder.h"

namespace tessimar {

std::string CacheFileFrom(const char* cacheHome, const std::string& home) {
  const std::string root =
      cacheHome != nullptr && cacheHome[0] == '/' ? WithTrailingSlash(cacheHome) : WithTrailingSlash(home) + ".cache/";
  const std::string folder = root + "Tessimar/";
  MakePrivateFolders(folder);
  return folder + "pictures.sqlite";
}

std::string CacheFile() { return CacheFileFrom(std::getenv("XDG_CACHE_HOME"), HomeFolder()); }

}  // namespace tessimar
