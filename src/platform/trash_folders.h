// The trash folders a scan passes over: ".Trash" and ".Trash-<uid>" of any user at the root
// of a mounted file system, and the user's own trash.
#pragma once

#include <optional>
#include <string>

#include "platform/file_identity.h"

namespace tessimar {

class TrashFolders {
 public:
  TrashFolders() = default;
  // homeTrash: the user's own trash folder; left out when it does not exist.
  explicit TrashFolders(const std::string& homeTrash);

  // With the home trash of $XDG_DATA_HOME (or ~/.local/share).
  static TrashFolders OfThisSystem();

  // The per-file-system trash name of this user, such as ".Trash-1000/".
  static std::string RecycleFolderName();

  // True for a trash folder itself; folder is its path ending in '/'.
  bool IsTrash(const std::string& folder, const FileIdentity& identity) const;
  // True when the folder at path (links resolved) is or lies below a trash folder.
  bool Contains(const std::string& path) const;

 private:
  std::optional<FileIdentity> homeTrash_;
  std::string homeTrashPath_;  // its real path, ending in '/'
};

}  // namespace tessimar
