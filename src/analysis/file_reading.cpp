#include "analysis/file_reading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <utility>

#include "analysis/picture_error.h"

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

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int Get() const { return fd_; }

 private:
  int fd_;
};

void ReadFully(int fd, std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowSystemError("cannot read the file");
    if (n == 0) break;  // the file shrank since fstat
    done += static_cast<std::size_t>(n);
  }
  bytes.resize(done);
}

}  // namespace

void SetBeforeFileOpen(std::function<void(const std::string& fileName)> hook) { BeforeFileOpen() = std::move(hook); }

void RequireRegularFile(const std::string& fileName) {
  AboutToOpen(fileName);
  struct stat st {};
  if (::stat(fileName.c_str(), &st) != 0) ThrowSystemError("cannot open the file");
  if (!S_ISREG(st.st_mode)) throw PictureError("not a regular file");
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& fileName) {
  return ReadFileStart(fileName, std::numeric_limits<std::size_t>::max());
}

std::vector<std::uint8_t> ReadFileStart(const std::string& fileName, std::size_t count) {
  AboutToOpen(fileName);
  // O_NONBLOCK: a FIFO put in the file's place must not block the open.
  const FileDescriptor file(::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (file.Get() < 0) ThrowSystemError("cannot open the file");
  struct stat st {};
  if (::fstat(file.Get(), &st) != 0) ThrowSystemError("cannot examine the file");
  if (!S_ISREG(st.st_mode)) throw PictureError("not a regular file");
  std::vector<std::uint8_t> bytes(std::min(static_cast<std::size_t>(st.st_size), count));
  ReadFully(file.Get(), bytes);
  return bytes;
}

OpenedFile::OpenedFile(const std::string& fileName) : fd_(::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {
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

}  // namespace tessimar
