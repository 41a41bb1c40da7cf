// A picture file opened for reading by the routines that compare files' contents.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/file_identity.h"

namespace tessimar {

// An open regular file, closed when it goes out of scope. Anything else in its place (a
// folder, a FIFO, a device) leaves it closed, without blocking on the open.
class ReadOnlyFile {
 public:
  explicit ReadOnlyFile(const std::string& name);
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
  ~ReadOnlyFile();

  bool IsOpen() const { return fd_ >= 0; }
  bool SameFileAs(const ReadOnlyFile& other) const { return identity_ == other.identity_; }

  // Fills buffer up to size bytes, stopping early only at the end of the file; -1 on error.
  ssize_t Read(std::uint8_t* buffer, std::size_t size);

 private:
  void Close();

  int fd_;
  FileIdentity identity_;
};

}  // namespace tessimar
