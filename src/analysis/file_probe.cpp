#include "analysis/file_probe.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "platform/file_identity.h"

namespace tessimar {
namespace {

constexpr std::size_t CompareBlockSize = 1024;

// An open regular file, closed when it goes out of scope.
class ReadOnlyFile {
 public:
  // O_NONBLOCK keeps a FIFO put in the file's place from blocking the open.
  explicit ReadOnlyFile(const std::string& name) : fd_(::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {
    struct stat st{};
    if (fd_ >= 0 && (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))) Close();
    if (fd_ >= 0) identity_ = {st.st_dev, st.st_ino};
  }
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
  ~ReadOnlyFile() { Close(); }

  bool IsOpen() const { return fd_ >= 0; }
  bool SameFileAs(const ReadOnlyFile& other) const { return identity_ == other.identity_; }

  // Fills buffer up to size bytes, stopping early only at the end of the file; -1 on error.
  ssize_t Read(std::uint8_t* buffer, std::size_t size) {
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

 private:
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  int fd_;
  FileIdentity identity_;
};

}  // namespace

void ReadPreBuffer(const std::string& fileName, TPreBuffer& probe) {
  ReadOnlyFile file(fileName);
  if (!file.IsOpen()) return;
  TPreBuffer local{};  // zero-filled, so a short file gives the same probe every time
  file.Read(local.data(), local.size());
  probe = local;
}

bool FilesEqual(const std::string& first, const std::string& second, const std::function<void()>& pump) {
  ReadOnlyFile file1(first);
  if (!file1.IsOpen()) return false;
  ReadOnlyFile file2(second);
  if (!file2.IsOpen() || file1.SameFileAs(file2)) return false;

  std::array<std::uint8_t, CompareBlockSize> buffer1{}, buffer2{};
  for (;;) {
    const ssize_t r1 = file1.Read(buffer1.data(), buffer1.size());
    const ssize_t r2 = file2.Read(buffer2.data(), buffer2.size());
    const bool same = r1 >= 0 && r1 == r2 && std::memcmp(buffer1.data(), buffer2.data(), static_cast<std::size_t>(r1)) == 0;
    pump();
    if (!same || r1 == 0) return same;  // a difference, or both ended together
  }
}

}  // namespace tessimar
