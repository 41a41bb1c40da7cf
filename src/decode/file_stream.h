// Sequential reading of an opened picture file through one bounded buffer, for the decoder
// libraries' read callbacks. No call throws: an exception cannot cross those libraries' C frames,
// so a read error is a result each callback turns into its library's own error.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "decode/file_reading.h"

namespace tessimar {

class FileStream {
 public:
  static constexpr std::size_t BufferBytes = 64 * 1024;

  explicit FileStream(const OpenedFile& file) : file_(file) {}
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  // Copies up to size bytes from the position on and returns how many, fewer only at the end;
  // nullopt for a read error.
  std::optional<std::size_t> Read(std::uint8_t* data, std::size_t size) noexcept;
  // The next byte; -1 at the end or on a read error.
  int Get() noexcept;
  // Moves as fseek does (SEEK_SET, SEEK_CUR or SEEK_END); past the end is allowed, reads there
  // give nothing. A position before the start (or past 2^64) is refused with false, and the
  // position stays.
  bool Seek(std::int64_t offset, int whence) noexcept;
  std::uint64_t Tell() const { return position_; }
  std::uint64_t Size() const { return file_.Size(); }
  bool AtEnd() const { return position_ >= file_.Size(); }

 private:
  bool Buffered() const { return position_ >= start_ && position_ < start_ + filled_; }
  // Reads from the position on into data; 0 at the end.
  std::optional<std::size_t> ReadFile(std::uint8_t* data, std::size_t size) const noexcept;
  std::optional<std::size_t> Fill() noexcept;

  const OpenedFile& file_;
  std::uint64_t position_ = 0;
  std::uint64_t start_ = 0;  // the file offset of buffer_[0]
  std::size_t filled_ = 0;
  std::array<std::uint8_t, BufferBytes> buffer_{};
};

}  // namespace tessimar
