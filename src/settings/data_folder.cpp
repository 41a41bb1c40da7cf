#include "settings/data_folder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/path_text.h"

namespace tessimar {
namespace {

constexpr mode_t PrivateFolderMode = 0700;

std::string ConfigHome(const char* configHome, const std::string& home) {
  if (configHome != nullptr && configHome[0] == '/') return WithTrailingSlash(configHome);
  return WithTrailingSlash(home) + ".config/";
}

}  // namespace

void MakePrivateFolders(const std::string& path) {
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
    ::mkdir(path.substr(0, slash).c_str(), PrivateFolderMode);
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return home;
  const passwd* account = ::getpwuid(::getuid());
  if (account != nullptr && account->pw_dir != nullptr && account->pw_dir[0] == '/') return account->pw_dir;
  return "/";
}

std::string DataFolderFrom(const char* configHome, const std::string& home) {
  const std::string folder = ConfigHome(configHome, home) + "Tessimar/";
  MakePrivateFolders(folder);
  return folder;
}

std::string DataFolder() { return DataFolderFrom(std::getenv("XDG_CONFIG_HOME"), HomeFolder()); }

}  // namespace tessimar
