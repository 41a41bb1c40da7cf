#include "analysis/read_only_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tessimar {

// O_NONBLOCK keeps a FIFO put in the file's place from blocking the open.
ReadOnlyFile::ReadOnlyFile(const std::string& name) : fd_(::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {
  struct stat st{};
  if (fd_ >= 0 && (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))) Close();
  if (fd_ >= 0) identity_ = {st.st_dev, st.st_ino};
}

ReadOnlyFile::~ReadOnlyFile() { Close(); }

ssize_t ReadOnlyFile::Read(std::uint8_t* buffer, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::read(fd_, buffer + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return static_cast<ssize_t>(done);
}

void ReadOnlyFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace tessimar
