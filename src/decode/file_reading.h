// Reading a picture file safely: only regular files, never blocking on a FIFO.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/regular_file.h"

namespace tessimar {

// Runs with the file's name just before a picture file is examined or opened below; tests
// set it to change the file at that moment. Set it while no scan runs; an empty one clears it.
void SetBeforeFileOpen(std::function<void(const std::string& fileName)> hook);

// A regular file, opened once and read piece by piece: every decoder reads the descriptor that
// was checked, so a file swapped in after the check is never read.
class OpenedFile {
 public:
  // Throws PictureError unless fileName names a regular file that opens; never blocks.
  explicit OpenedFile(const std::string& fileName);
  ~OpenedFile();
  OpenedFile(const OpenedFile&) = delete;
  OpenedFile& operator=(const OpenedFile&) = delete;

  std::uint64_t Size() const { return file_.Size(); }
  // Reads size bytes at offset; throws PictureError when the file ends before them.
  void ReadAt(std::uint64_t offset, std::uint8_t* data, std::size_t size) const;
  // Reads up to size bytes at offset and returns how many; fewer only where the file ends.
  std::size_t ReadSome(std::uint64_t offset, std::uint8_t* data, std::size_t size) const;
  // As ReadSome, for the decoder libraries' C callbacks, which no exception may cross: a read
  // error gives nullopt, and errno tells why.
  std::optional<std::size_t> TryReadSome(std::uint64_t offset, std::uint8_t* data, std::size_t size) const noexcept;
  // The whole content, as far as it goes; only for files whose size the caller has bounded.
  std::vector<std::uint8_t> ReadWhole() const;

 private:
  RegularFile file_;
};

}  // namespace tessimar
