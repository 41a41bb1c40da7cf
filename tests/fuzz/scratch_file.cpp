#include "scratch_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace tessimar::fuzz {
namespace {

[[noreturn]] void ThrowSystemError(const std::string& what) {
  throw std::runtime_error(what + ": " + std::strerror(errno));
}

// Memory-backed when the system has it: every input is written once and read at once.
std::string MakeFolder() {
  struct stat st {};
  const bool shm = ::stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode);
  std::string pattern = std::string(shm ? "/dev/shm" : "/tmp") + "/tessimar-fuzz-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) ThrowSystemError("cannot make a folder for the fuzz input");
  return pattern;
}

}  // namespace

ScratchFile::ScratchFile(const std::string& extension) : folder_(MakeFolder()), path_(folder_ + "/input" + extension) {}

ScratchFile::~ScratchFile() {
  ::unlink(path_.c_str());
  ::rmdir(folder_.c_str());
}

const std::string& ScratchFile::Write(const std::uint8_t* data, std::size_t size) const {
  const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) ThrowSystemError("cannot write " + path_);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ::close(fd);
      ThrowSystemError("cannot write " + path_);
    }
    done += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0) ThrowSystemError("cannot write " + path_);
  return path_;
}

}  // namespace tessimar::fuzz
