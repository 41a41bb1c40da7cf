#include "platform/shell_delete.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/trash.h"

namespace tessimar {

int ShellDeleteFile(const std::string& path, bool toTrash) {
  if (toTrash) return MoveToTrash(path);
  return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

void ClearReadOnly(const std::string& path) {
  struct stat st {};
  // stat and chmod follow links; a dangling link has no permission to give.
  if (::stat(path.c_str(), &st) != 0 || (st.st_mode & S_IWUSR) != 0) return;
  ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR);
}

}  // namespace tessimar
