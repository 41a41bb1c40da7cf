// LibRaw's input read from an opened picture file, so that LibRaw never opens a file by name.
#pragma once

#include <libraw/libraw_datastream.h>

#include <functional>
#include <memory>

#include "decode/file_stream.h"

namespace tessimar {

// Behaves as LibRaw's own stdio-backed stream does: seeking past the end is allowed and reads
// there return nothing. A read error ends the data, since it cannot throw through LibRaw.
// What a short read leaves of the destination is zeroed: LibRaw does not always check the
// count, and its buffers must not keep what the allocator left there.
class RawDatastream : public LibRaw_abstract_datastream {
 public:
  explicit RawDatastream(const OpenedFile& file) : stream_(std::make_unique<FileStream>(file)) {}

  int valid() override { return 1; }
  int read(void* data, size_t size, size_t count) override;
  int seek(INT64 offset, int whence) override;
  INT64 tell() override { return static_cast<INT64>(stream_->Tell()); }
  INT64 size() override { return static_cast<INT64>(stream_->Size()); }
  int get_char() override;
  char* gets(char* text, int size) override;
  int scanf_one(const char* format, void* value) override;
  int eof() override { return stream_->AtEnd() ? 1 : 0; }
  void* make_jas_stream() override { return nullptr; }

  // action runs once, at the next seek, before it; an empty one cancels it.
  void OnNextSeek(std::function<void()> action) { onNextSeek_ = std::move(action); }

 private:
  std::size_t ReadBytes(void* data, std::size_t size);

  std::unique_ptr<FileStream> stream_;  // its buffer is too large for the stack
  std::function<void()> onNextSeek_;
};

}  // namespace tessimar
