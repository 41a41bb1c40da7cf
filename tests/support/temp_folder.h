// A folder of its own for one test, removed with everything in it afterwards.
#pragma once

#include <cstddef>
#include <string>

namespace tessimar::testing {

class TempFolder {
 public:
  // base: where to make the folder; the system's temporary folder by default.
  explicit TempFolder(const std::string& base = {});
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder();

  // The folder's path, ending in '/'.
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& relative) const { return path_ + relative; }

  // Writes a file (making its folders) and returns its full path.
  std::string Write(const std::string& relative, const std::string& bytes) const;
  // A file of size bytes of a repeating pattern.
  std::string WriteSized(const std::string& relative, std::size_t size) const;
  // Makes a folder and the folders above it; returns its path ending in '/'.
  std::string MakeFolder(const std::string& relative) const;

 private:
  std::string path_;
};

}  // namespace tessimar::testing
