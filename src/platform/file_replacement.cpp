#include "platform/file_replacement.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace tessimar {
namespace {

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

FileReplacement::FileReplacement(const std::string& target) : target_(target) {
  std::error_code error;
  const auto canonical = std::filesystem::weakly_canonical(target, error);
  resolved_ = error ? target : canonical.string();
  struct stat st {};
  if (::stat(resolved_.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) Fail(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    mode_ = st.st_mode & 07777;
  }
  temporary_ = resolved_ + ".XXXXXX";
  fd_ = ::mkstemp(temporary_.data());
  if (fd_ < 0) {
    const int code = errno;
    temporary_.clear();
    Fail(code);
  }
}

FileReplacement::~FileReplacement() {
  if (fd_ >= 0) ::close(fd_);
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

void FileReplacement::Commit(std::string_view text) {
  bool ok = ::fchmod(fd_, mode_) == 0 && WriteAll(fd_, text) && ::fsync(fd_) == 0;
  int code = errno;
  if (::close(fd_) != 0 && ok) {
    ok = false;
    code = errno;
  }
  fd_ = -1;
  if (ok && ::rename(temporary_.c_str(), resolved_.c_str()) != 0) {
    ok = false;
    code = errno;
  }
  if (!ok) Fail(code);
  temporary_.clear();
}

void FileReplacement::Fail(int code) const { throw FileWriteError(target_, code); }

}  // namespace tessimar
