#include "decode/file_reading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "decode/picture_error.h"

namespace tessimar {
namespace {

std::function<void(const std::string&)>& BeforeFileOpen() {
  static std::function<void(const std::string&)> hook;
  return hook;
}

void AboutToOpen(const std::string& fileName) {
  if (const auto& hook = BeforeFileOpen()) hook(fileName);
}

[[noreturn]] void ThrowSystemError(const std::string& what) { throw PictureError(what + ": " + std::strerror(errno)); }

}  // namespace

void SetBeforeFileOpen(std::function<void(const std::string& fileName)> hook) { BeforeFileOpen() = std::move(hook); }

OpenedFile::OpenedFile(const std::string& fileName) {
  AboutToOpen(fileName);
  fd_ = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) ThrowSystemError("cannot open the file");
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd_);
    throw PictureError("not a regular file");
  }
  size_ = static_cast<std::uint64_t>(st.st_size);
}

OpenedFile::~OpenedFile() { ::close(fd_); }

void OpenedFile::ReadAt(std::uint64_t offset, std::uint8_t* data, std::size_t size) const {
  while (size > 0) {
    const ssize_t n = ::pread(fd_, data, size, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowSystemError("cannot read the file");
    if (n == 0) throw PictureError("the file ended early");
    data += n, offset += static_cast<std::uint64_t>(n), size -= static_cast<std::size_t>(n);
  }
}

std::size_t OpenedFile::ReadSome(std::uint64_t offset, std::uint8_t* data, std::size_t size) const {
  const auto got = TryReadSome(offset, data, size);
  if (!got) ThrowSystemError("cannot read the file");
  return *got;
}

std::optional<std::size_t> OpenedFile::TryReadSome(std::uint64_t offset, std::uint8_t* data,
                                                   std::size_t size) const noexcept {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pread(fd_, data + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

std::vector<std::uint8_t> OpenedFile::ReadWhole() const {
  std::vector<std::uint8_t> bytes(size_);
  bytes.resize(ReadSome(0, bytes.data(), bytes.size()));
  return bytes;
}

}  // namespace tessimar
