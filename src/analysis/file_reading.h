// Reading a picture file safely: only regular files, never blocking on a FIFO.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tessimar {

// Runs with the file's name just before a picture file is examined or opened below; tests
// set it to change the file at that moment. Set it while no scan runs; an empty one clears it.
void SetBeforeFileOpen(std::function<void(const std::string& fileName)> hook);

// Throws PictureError unless fileName names a regular file (after following links).
// Libraries that open by name call this first, so a FIFO or a folder never reaches them.
void RequireRegularFile(const std::string& fileName);

// The whole content of a regular file; throws PictureError otherwise.
std::vector<std::uint8_t> ReadWholeFile(const std::string& fileName);

// At most the first count bytes of a regular file; throws PictureError otherwise.
std::vector<std::uint8_t> ReadFileStart(const std::string& fileName, std::size_t count);

// A regular file read piece by piece, where reading it whole would only fill memory.
class OpenedFile {
 public:
  // Throws PictureError unless fileName names a regular file that opens.
  explicit OpenedFile(const std::string& fileName);
  ~OpenedFile();
  OpenedFile(const OpenedFile&) = delete;
  OpenedFile& operator=(const OpenedFile&) = delete;

  std::uint64_t Size() const { return size_; }
  // Reads size bytes at offset; throws PictureError when the file ends before them.
  void ReadAt(std::uint64_t offset, std::uint8_t* data, std::size_t size) const;

 private:
  int fd_ = -1;
  std::uint64_t size_ = 0;
};

}  // namespace tessimar
