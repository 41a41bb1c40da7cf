// The trash folders a scan passes over: "<mount point>/.Trash-<uid>/" and
// "<mount point>/.Trash/" of every mounted file system, and the user's own trash.
#pragma once

#include <string>
#include <vector>

#include "platform/file_identity.h"

namespace tessimar {

class TrashFolders {
 public:
  TrashFolders() = default;
  // mountPoints: folders at which file systems are mounted; homeTrash: the user's own
  // trash folder. Folders that do not exist are left out.
  TrashFolders(const std::vector<std::string>& mountPoints, const std::string& homeTrash);

  // From /proc/self/mounts, $XDG_DATA_HOME (or ~/.local/share) and the real user id.
  static TrashFolders OfThisSystem();

  // The per-file-system trash name of this user, such as ".Trash-1000/".
  static std::string RecycleFolderName();

  // True for a trash folder itself, named by any path that leads to it.
  bool IsTrash(const FileIdentity& folder) const;
  // True when the folder at path (links resolved) lies in or below a trash folder.
  bool Contains(const std::string& path) const;

 private:
  void Add(const std::string& folder);

  std::vector<std::string> prefixes_;  // real paths, each ending in '/'
  std::vector<FileIdentity> identities_;
};

}  // namespace tessimar
