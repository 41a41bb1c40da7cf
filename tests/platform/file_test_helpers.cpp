#include "file_test_helpers.h"

#include <sys/stat.h>

namespace tessimar::testing {

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

bool IsFileSystemRoot(const std::string& folder) {
  struct stat self {}, parent {};
  return ::stat(folder.c_str(), &self) == 0 && ::stat((folder + "..").c_str(), &parent) == 0 &&
         self.st_dev != parent.st_dev;
}

}  // namespace tessimar::testing
