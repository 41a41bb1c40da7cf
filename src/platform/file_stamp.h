// What tells an unchanged file from a changed one between two scans.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tessimar {

// Device, inode, size and the modification and status-change times in nanoseconds.
// Restoring the modification time still changes the status-change time, and a file
// replaced under the same name has another inode or a new status-change time.
struct FileStamp {
  std::uint64_t Device = 0;
  std::uint64_t Inode = 0;
  std::int64_t Size = 0;
  std::int64_t ModifiedNs = 0;
  std::int64_t ChangedNs = 0;
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The stamp of the regular file at path, links followed; nothing for anything else.
std::optional<FileStamp> StampOf(const std::string& path);

}  // namespace tessimar
