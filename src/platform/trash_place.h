// Making a trash folder ready to take files: the folder with its files/ and info/, each
// made with mode 0700 when missing.
#pragma once

#include <string>

namespace tessimar {

// The user's own trash (a path ending in '/'), made with the folders above it.
// Returns 0 or an errno value.
int MakeHomeTrash(const std::string& trash);

// A file system's shared trash $topdir/.Trash-$uid (a path ending in '/'). It lies in
// ground that others can write, so an existing one is used only when it is this user's own
// folder: ENOTDIR for anything else (a link too, which could lead the files elsewhere),
// EPERM for another user's folder. Returns 0 or an errno value.
int MakeTopdirTrash(const std::string& trash);

}  // namespace tessimar
