#include "settings/data_folder.h"

#include "platform/path_text.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "platform/file_identity.h"

namespace tessimar {
namespace {

std::string ConfigHome(const char* configHome, const char* home) {
  // The XDG base directory rules ignore a relative $XDG_CONFIG_HOME.
  if (configHome != nullptr && configHome[0] == '/') return WithTrailingSlash(configHome);
  if (home != nullptr && home[0] == '/') return WithTrailingSlash(home) + ".config/";
  return {};
}

}  // namespace

std::string DataFolderFrom(const char* configHome, const char* home, const std::string& applicationFolder) {
  const std::string base = ConfigHome(configHome, home);
  if (base.empty()) return applicationFolder;
  const std::string folder = base + "Tessimar/";
  if (IsFolder(folder)) return folder;
  if (::mkdir(folder.c_str(), 0700) == 0 || (errno == EEXIST && IsFolder(folder))) return folder;
  return applicationFolder;
}

std::string DataFolder() {
  return DataFolderFrom(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"), ApplicationFolder());
}

std::string ApplicationFolder() {
  std::error_code error;
  const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return WithTrailingSlash(std::filesystem::current_path(error).string());
  return WithTrailingSlash(executable.parent_path().string());
}

}  // namespace tessimar
