// Moving a file to another name, on the same or another file system, without ever
// replacing a file and without ever losing the one moved.
#pragma once

#include <string>

namespace tessimar {

// Moves source to destination (a full file path) without ever replacing an existing file,
// also across file systems. Returns 0 on success, else an errno value (EEXIST when
// destination exists). On any failure the source stays where it was, with its bytes, and
// no partial destination is left.
int MoveFileNoReplace(const std::string& source, const std::string& destination);

}  // namespace tessimar
