// Which file a name leads to, links followed: device and inode.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace tessimar {

struct FileIdentity {
  dev_t Device = 0;
  ino_t Inode = 0;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

struct FileIdentityHash {
  std::size_t operator()(const FileIdentity& identity) const {
    return std::hash<ino_t>{}(identity.Inode) ^ (std::hash<dev_t>{}(identity.Device) << 1);
  }
};

// The identity of the folder at path, or nothing when path is not a folder.
std::optional<FileIdentity> FolderIdentity(const std::string& path);

// The identity of whatever path leads to, or nothing when it leads nowhere.
std::optional<FileIdentity> IdentityOf(const std::string& path);

bool IsFolder(const std::string& path);

}  // namespace tessimar
