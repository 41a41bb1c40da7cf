#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace tessimar {
namespace {

[[noreturn]] void Fail(const char* reason) { throw std::runtime_error(reason); }

}  // namespace

std::string ReadRegularFile(const std::string& path) {
  // O_NONBLOCK: opening a FIFO must not wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) Fail(std::strerror(errno));
  std::string bytes;
  struct stat st {};
  const char* failure = nullptr;
  if (::fstat(fd, &st) != 0) {
    failure = std::strerror(errno);
  } else if (!S_ISREG(st.st_mode)) {
    failure = S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "not a regular file";
  } else {
    char buffer[1 << 16];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) != 0;) {
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        failure = std::strerror(errno);
        break;
      }
      bytes.append(buffer, static_cast<std::size_t>(n));
    }
  }
  ::close(fd);
  if (failure != nullptr) Fail(failure);
  return bytes;
}

}  // namespace tessimar
