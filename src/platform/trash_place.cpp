#include "platform/trash_place.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tessimar {
namespace {

constexpr mode_t TrashFolderMode = 0700;

// Makes folder unless a folder (or a link to one) is already there.
int MakeFolder(const std::string& folder) {
  if (::mkdir(folder.c_str(), TrashFolderMode) == 0) return 0;
  if (errno != EEXIST) return errno;
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0) return errno;
  return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

int MakeFilesAndInfo(const std::string& trash) {
  const int error = MakeFolder(trash + "files");
  return error != 0 ? error : MakeFolder(trash + "info");
}

}  // namespace

int MakeHomeTrash(const std::string& trash) {
  for (std::size_t end = trash.find('/', 1); end != std::string::npos; end = trash.find('/', end + 1)) {
    if (const int error = MakeFolder(trash.substr(0, end))) return error;
  }
  return MakeFilesAndInfo(trash);
}

// The folder is looked at without its trailing '/': with it, lstat follows a link.
int MakeTopdirTrash(const std::string& trash) {
  const std::string folder = trash.substr(0, trash.find_last_not_of('/') + 1);
  if (const int error = MakeFolder(folder)) return error;
  struct stat st {};
  if (::lstat(folder.c_str(), &st) != 0) return errno;
  if (!S_ISDIR(st.st_mode)) return ENOTDIR;
  return st.st_uid == ::getuid() ? MakeFilesAndInfo(trash) : EPERM;
}

}  // namespace tessimar
