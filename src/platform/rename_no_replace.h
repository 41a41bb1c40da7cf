// Giving a file a new name on the same file system without ever replacing a file that
// already has that name.
#pragma once

#include <string>

namespace tessimar {

// Renames from to to. Returns 0 on success, else an errno value: EEXIST when to exists,
// EXDEV when the two lie on different file systems. On failure nothing has changed.
int RenameNoReplace(const std::string& from, const std::string& to);

// RenameNoReplace's way on a file system that refuses RENAME_NOREPLACE: a new link, which
// fails with EEXIST just as well, then the removal of the old name. Same result and errors.
int LinkThenUnlink(const std::string& from, const std::string& to);

}  // namespace tessimar
