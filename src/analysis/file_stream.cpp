#include "analysis/file_stream.h"

#include <algorithm>
#include <cstring>

namespace tessimar {

bool FileStream::Fill() {
  start_ = position_;
  filled_ = position_ < file_.Size() ? file_.ReadSome(position_, buffer_.data(), buffer_.size()) : 0;
  return filled_ > 0;
}

std::size_t FileStream::Read(std::uint8_t* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    if (!Buffered()) {
      // Large reads skip the buffer rather than pass through it.
      if (size - done >= buffer_.size()) {
        const std::size_t n = position_ < file_.Size() ? file_.ReadSome(position_, data + done, size - done) : 0;
        position_ += n;
        return done + n;
      }
      if (!Fill()) break;
    }
    const auto at = static_cast<std::size_t>(position_ - start_);
    const std::size_t n = std::min(size - done, filled_ - at);
    std::memcpy(data + done, buffer_.data() + at, n);
    done += n, position_ += n;
  }
  return done;
}

int FileStream::Get() {
  if (!Buffered() && !Fill()) return -1;
  return buffer_[static_cast<std::size_t>(position_++ - start_)];
}

}  // namespace tessimar
