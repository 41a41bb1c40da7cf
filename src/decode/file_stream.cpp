#include "decode/file_stream.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tessimar {

std::optional<std::size_t> FileStream::ReadFile(std::uint8_t* data, std::size_t size) const noexcept {
  if (position_ >= file_.Size()) return 0;
  return file_.TryReadSome(position_, data, size);
}

std::optional<std::size_t> FileStream::Fill() noexcept {
  start_ = position_;
  filled_ = 0;
  const auto got = ReadFile(buffer_.data(), buffer_.size());
  if (got) filled_ = *got;
  return got;
}

std::optional<std::size_t> FileStream::Read(std::uint8_t* data, std::size_t size) noexcept {
  std::size_t done = 0;
  while (done < size) {
    if (!Buffered()) {
      // Large reads skip the buffer rather than pass through it.
      if (size - done >= buffer_.size()) {
        const auto got = ReadFile(data + done, size - done);
        if (!got) return std::nullopt;
        position_ += *got;
        return done + *got;
      }
      const auto got = Fill();
      if (!got) return std::nullopt;
      if (*got == 0) break;
    }
    const auto at = static_cast<std::size_t>(position_ - start_);
    const std::size_t n = std::min(size - done, filled_ - at);
    std::memcpy(data + done, buffer_.data() + at, n);
    done += n, position_ += n;
  }
  return done;
}

int FileStream::Get() noexcept {
  if (!Buffered()) {
    const auto got = Fill();
    if (!got || *got == 0) return -1;
  }
  return buffer_[static_cast<std::size_t>(position_++ - start_)];
}

bool FileStream::Seek(std::int64_t offset, int whence) noexcept {
  const std::uint64_t base = whence == SEEK_CUR ? position_ : whence == SEEK_END ? file_.Size() : 0;
  // Unsigned, the sum wraps exactly when the target lies before the start or past 2^64.
  const std::uint64_t target = base + static_cast<std::uint64_t>(offset);
  if (offset < 0 ? target > base : target < base) return false;
  position_ = target;
  return true;
}

}  // namespace tessimar
