// One read of a folder, standing in for the masked directory enumeration: regular files
// and folders only (links followed), in the order of the text comparison without case.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_identity.h"

namespace tessimar {

// File-attribute bits of a DirectoryEntry: read-only when the owner cannot write,
// hidden for a name beginning with '.', archive always.
inline constexpr std::int32_t AttrReadOnly = 0x01;
inline constexpr std::int32_t AttrHidden = 0x02;
inline constexpr std::int32_t AttrArchive = 0x20;

struct DirectoryEntry {
  std::string Name;
  bool IsFolder = false;
  std::int64_t Size = 0;
  std::int32_t Time = 0;  // DOS date and time of the last write
  std::int32_t Attr = 0;
  FileIdentity Identity;
};

// Entries of folder, without "." and "..". FIFOs, sockets, devices and dangling links
// are left out without being opened. A folder that cannot be read gives no entries.
std::vector<DirectoryEntry> ReadDirectory(const std::string& folder);

}  // namespace tessimar
