#include "decode/file_reading.h"

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

const std::string& AboutToOpen(const std::string& fileName) {
  if (const auto& hook = BeforeFileOpen()) hook(fileName);
  return fileName;
}

[[noreturn]] void ThrowSystemError(const std::string& what) { throw PictureError(what + ": " + std::strerror(errno)); }

}  // namespace

void SetBeforeFileOpen(std::function<void(const std::string& fileName)> hook) { BeforeFileOpen() = std::move(hook); }

OpenedFile::OpenedFile(const std::string& fileName) : file_(AboutToOpen(fileName)) {
  if (file_.Refused() == RegularFile::Refusal::CannotOpen)
    throw PictureError(std::string("cannot open the file: ") + std::strerror(file_.Error()));
  if (!file_.IsOpen()) throw PictureError("not a regular file");
}

OpenedFile::~OpenedFile() = default;

void OpenedFile::ReadAt(std::uint64_t offset, std::uint8_t* data, std::size_t size) const {
  while (size > 0) {
    const ssize_t n = ::pread(file_.Descriptor(), data, size, static_cast<off_t>(offset));
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
    const ssize_t n = ::pread(file_.Descriptor(), data + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

std::vector<std::uint8_t> OpenedFile::ReadWhole() const {
  std::vector<std::uint8_t> bytes(Size());
  bytes.resize(ReadSome(0, bytes.data(), bytes.size()));
  return bytes;
}

}  // namespace tessimar
