#include "platform/file_stamp.h"

#include <sys/stat.h>

namespace tessimar {
namespace {

constexpr std::int64_t NsPerSecond = 1'000'000'000;

std::int64_t Nanoseconds(const timespec& time) {
  return static_cast<std::int64_t>(time.tv_sec) * NsPerSecond + time.tv_nsec;
}

}  // namespace

std::optional<FileStamp> StampOf(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
  return FileStamp{status.st_dev, status.st_ino, status.st_size, Nanoseconds(status.st_mtim),
                   Nanoseconds(status.st_ctim)};
}

}  // namespace tessimar
