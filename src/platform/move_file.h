// Moving a file to another name, on the same or another file system, without ever
// replacing a file and without ever losing the one moved.
#pragma once

#include <functional>
#include <string>

namespace tessimar {

// Moves source to destination (a full file path) without ever replacing an existing file,
// also across file systems. Returns 0 on success, else an errno value (EEXIST when
// destination exists). On any failure the source stays where it was, with its bytes, and
// no partial destination is left. Across file systems, when another file took the source's
// name during the copy, that file stays, the complete copy too, and the result is ENOENT.
int MoveFileNoReplace(const std::string& source, const std::string& destination);

// Runs in a move across file systems once the copy is complete and synced, just before it
// takes the destination's name; tests set it to create the destination at that moment.
// An empty one clears it.
void SetBeforeCopyTakesName(std::function<void()> hook);

}  // namespace tessimar
