// The file a fuzz input is written to, so that it reaches the loader by name as a scan's
// pictures do: one file of a chosen extension in a folder of its own, removed at exit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tessimar::fuzz {

class ScratchFile {
 public:
  // extension: with the dot, as ".jpg"; it decides which decoder the loader picks.
  explicit ScratchFile(const std::string& extension);
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  ~ScratchFile();

  // Replaces the file's content by data and returns its path. Throws std::runtime_error.
  const std::string& Write(const std::uint8_t* data, std::size_t size) const;

 private:
  std::string folder_;
  std::string path_;
};

}  // namespace tessimar::fuzz
