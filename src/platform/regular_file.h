// Opening a file that must be a regular file, such as a picture or a settings file: a
// folder, FIFO, socket or device in its place is refused without blocking or reading from it.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/file_identity.h"

namespace tessimar {

// The regular file at a path (links followed), open for reading until it goes out of scope.
class RegularFile {
 public:
  // Why a path did not open as a regular file.
  enum class Refusal { None, CannotOpen, Folder, NotRegular };

  explicit RegularFile(const std::string& path);
  RegularFile(const RegularFile&) = delete;
  RegularFile& operator=(const RegularFile&) = delete;
  ~RegularFile();

  bool IsOpen() const { return refusal_ == Refusal::None; }
  Refusal Refused() const { return refusal_; }
  // The system's reason ("Is a directory" for a folder, "not a regular file" for the others).
  std::string Reason() const;
  // The errno of a failed open or status, 0 otherwise.
  int Error() const { return error_; }

  int Descriptor() const { return fd_; }
  std::uint64_t Size() const { return size_; }
  FileIdentity Identity() const { return identity_; }

  // Reads on from the current position until buffer is full or the file ends; -1 on a read error.
  ssize_t Read(std::uint8_t* buffer, std::size_t size);

 private:
  int fd_ = -1;
  Refusal refusal_ = Refusal::None;
  int error_ = 0;
  std::uint64_t size_ = 0;
  FileIdentity identity_;
};

// The bytes of the regular file at path. Throws std::runtime_error with the reason
// ("Is a directory", "not a regular file", ...).
std::string ReadRegularFile(const std::string& path);

}  // namespace tessimar
