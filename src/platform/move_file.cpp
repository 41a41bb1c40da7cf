#include "platform/move_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <utility>

#include "platform/path_text.h"
#include "platform/rename_no_replace.h"

namespace tessimar {
namespace {

constexpr std::size_t CopyBufferSize = 1 << 16;

std::function<void()>& BeforeCopyTakesName() {
  static std::function<void()> hook;
  return hook;
}

int WriteAll(int fd, const char* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return 0;
}

int CopyBytes(int from, int to) {
  char buffer[CopyBufferSize];
  for (;;) {
    const ssize_t n = ::read(from, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n == 0 ? 0 : errno;
    if (const int error = WriteAll(to, buffer, static_cast<std::size_t>(n))) return error;
  }
}

// The folder part of path, ending in '/'.
std::string FolderOf(const std::string& path) {
  const std::string_view folder = SplitPath(path).first;
  return folder.empty() ? "./" : std::string(folder);
}

// Writes the open file's bytes, mode and times to a new file in folder, synced, whose
// name goes to temporary. On failure nothing is left.
int CopyToTemporary(int source, const std::string& folder, std::string& temporary) {
  struct stat st {};
  if (::fstat(source, &st) != 0) return errno;
  temporary = folder + ".tessimar-move-XXXXXX";
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return errno;
  const timespec times[2] = {st.st_atim, st.st_mtim};
  int error = CopyBytes(source, fd);
  if (error == 0 && (::fchmod(fd, st.st_mode & 07777) != 0 || ::futimens(fd, times) != 0 || ::fsync(fd) != 0)) {
    error = errno;
  }
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) ::unlink(temporary.c_str());
  return error;
}

// The new name must last before the old one goes.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Copies the file seen at source, and no other file put there since.
int CopyFile(const std::string& source, const std::string& destination, const struct stat& seen) {
  const int fd = ::open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno;
  struct stat opened {};
  if (::fstat(fd, &opened) != 0 || !SameFile(opened, seen)) {
    ::close(fd);
    return ENOENT;
  }
  const std::string folder = FolderOf(destination);
  std::string temporary;
  int error = CopyToTemporary(fd, folder, temporary);
  ::close(fd);
  if (error != 0) return error;
  if (const auto& hook = BeforeCopyTakesName()) hook();
  error = RenameNoReplace(temporary, destination);
  if (error != 0) {
    ::unlink(temporary.c_str());
    return error;
  }
  SyncFolder(folder);
  return 0;
}

// A link moves as a link: its target text stays as it was.
int CopyLink(const std::string& source, const std::string& destination) {
  std::error_code error;
  const auto target = std::filesystem::read_symlink(source, error);
  if (error) return error.value();
  return ::symlink(target.c_str(), destination.c_str()) == 0 ? 0 : errno;
}

int MoveAcrossFileSystems(const std::string& source, const std::string& destination) {
  struct stat st {};
  struct stat taken {};
  if (::lstat(source.c_str(), &st) != 0) return errno;
  if (::lstat(destination.c_str(), &taken) == 0) return EEXIST;  // found before copying in vain
  int error = S_ISLNK(st.st_mode) ? CopyLink(source, destination)
              : S_ISREG(st.st_mode) ? CopyFile(source, destination, st)
                                    : EXDEV;
  if (error != 0) return error;
  // Another file put at the source's name during the copy is not the one moved: it stays,
  // and so does the copy, which may be all that is left of the file moved.
  if (::lstat(source.c_str(), &taken) == 0 && !SameFile(taken, st)) return ENOENT;
  // A source that vanished meanwhile leaves the copy as the only one: keep it.
  if (::unlink(source.c_str()) == 0 || errno == ENOENT) return 0;
  error = errno;
  ::unlink(destination.c_str());
  return error;
}

}  // namespace

void SetBeforeCopyTakesName(std::function<void()> hook) { BeforeCopyTakesName() = std::move(hook); }

int MoveFileNoReplace(const std::string& source, const std::string& destination) {
  const int error = RenameNoReplace(source, destination);
  return error == EXDEV ? MoveAcrossFileSystems(source, destination) : error;
}

}  // namespace tessimar
