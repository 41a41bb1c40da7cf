// Sequential reading of an opened picture file through one bounded buffer, for the decoder
// libraries' read callbacks.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "analysis/file_reading.h"

namespace tessimar {

class FileStream {
 public:
  static constexpr std::size_t BufferBytes = 64 * 1024;

  explicit FileStream(const OpenedFile& file) : file_(file) {}
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  // Copies up to size bytes from the position on and returns how many; fewer only at the end.
  std::size_t Read(std::uint8_t* data, std::size_t size);
  // The next byte, or -1 at the end.
  int Get();
  void Seek(std::uint64_t position) { position_ = position; }
  std::uint64_t Tell() const { return position_; }
  std::uint64_t Size() const { return file_.Size(); }
  bool AtEnd() const { return position_ >= file_.Size(); }

 private:
  bool Buffered() const { return position_ >= start_ && position_ < start_ + filled_; }
  bool Fill();

  const OpenedFile& file_;
  std::uint64_t position_ = 0;
  std::uint64_t start_ = 0;  // the file offset of buffer_[0]
  std::size_t filled_ = 0;
  std::array<std::uint8_t, BufferBytes> buffer_{};
};

}  // namespace tessimar
