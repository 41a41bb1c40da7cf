#include "platform/file_identity.h"

#include <sys/stat.h>

namespace tessimar {

std::optional<FileIdentity> FolderIdentity(const std::string& path) {
  struct stat st{};
  if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
  return FileIdentity{st.st_dev, st.st_ino};
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
  struct stat st{};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileIdentity{st.st_dev, st.st_ino};
}

bool IsFolder(const std::string& path) { return FolderIdentity(path).has_value(); }

}  // namespace tessimar
