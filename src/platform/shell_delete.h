// Deleting one file as the window's delete buttons do: to the trash or for good.
#pragma once

#include <string>

namespace tessimar {

// Deletes one file: to the trash when toTrash, else permanently (unlink). 0 or errno.
int ShellDeleteFile(const std::string& path, bool toTrash);
// Gives the file (a link's target when path is a link that resolves) its owner's write
// permission, as clearing a read-only attribute; failures are ignored.
void ClearReadOnly(const std::string& path);

}  // namespace tessimar
