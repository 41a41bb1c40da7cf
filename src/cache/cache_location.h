// Where the picture cache lives: the user's cache folder.
#pragma once

#include <string>

namespace tessimar {

// "<cache home>/Tessimar/pictures.sqlite", its folders made with mode 0700 where missing.
// cacheHome is $XDG_CACHE_HOME, a relative one ignored; home is the user's home folder.
std::string CacheFileFrom(const char* cacheHome, const std::string& home);

// CacheFileFrom for this process's environment.
std::string CacheFile();

}  // namespace tessimar
