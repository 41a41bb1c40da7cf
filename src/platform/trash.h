// Moving a file into the freedesktop.org trash, where file managers and trash-cli find it
// and can put it back.
#pragma once

#include <string>

namespace tessimar {

// Moves the file at path into the freedesktop.org trash, version 1.0: the home trash
// $XDG_DATA_HOME/Trash (default ~/.local/share/Trash) for a file on the same file system as
// the home trash, else $topdir/.Trash-$uid of the file's own file system (topdir = its mount
// point), creating files/ and info/ (mode 0700) when missing. Writes info/<name>.trashinfo
// ([Trash Info], Path= percent-encoded, DeletionDate= local time YYYY-MM-DDThh:mm:ss),
// created with O_EXCL first, then renames the file to files/<name>; a taken <name> becomes
// "a.2.jpg", "a.3.jpg" and so on.
// Returns 0 or an errno value; on failure the file stays in place and no stray .trashinfo
// is left. Reads $XDG_DATA_HOME and $HOME at each call. On success, trashedAs (when given)
// receives the full path of the file in the trash's files/, which an undo needs.
int MoveToTrash(const std::string& path, std::string* trashedAs = nullptr);

}  // namespace tessimar
