#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace tessimar {

// O_NONBLOCK: opening a FIFO must not wait for a writer.
RegularFile::RegularFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) {
    error_ = errno;
    refusal_ = Refusal::CannotOpen;
  } else if (!S_ISREG(st.st_mode)) {
    refusal_ = S_ISDIR(st.st_mode) ? Refusal::Folder : Refusal::NotRegular;
  }
  if (!IsOpen()) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    return;
  }
  size_ = static_cast<std::uint64_t>(st.st_size);
  identity_ = {st.st_dev, st.st_ino};
}

RegularFile::~RegularFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::string RegularFile::Reason() const {
  switch (refusal_) {
    case Refusal::None:
      return {};
    case Refusal::CannotOpen:
      return std::strerror(error_);
    case Refusal::Folder:
      return std::strerror(EISDIR);
    case Refusal::NotRegular:
      break;
  }
  return "not a regular file";
}

ssize_t RegularFile::Read(std::uint8_t* buffer, std::size_t size) {
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

std::string ReadRegularFile(const std::string& path) {
  RegularFile file(path);
  if (!file.IsOpen()) throw std::runtime_error(file.Reason());
  std::string bytes;
  std::uint8_t buffer[1 << 16];
  for (ssize_t n; (n = file.Read(buffer, sizeof buffer)) != 0;) {
    if (n < 0) throw std::runtime_error(std::strerror(errno));
    bytes.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(n));
  }
  return bytes;
}

}  // namespace tessimar
