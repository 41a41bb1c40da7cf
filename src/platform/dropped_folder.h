// Which folder a file or folder dropped onto the window adds to the folder list.
#pragma once

#include <optional>
#include <string>

namespace tessimar {

// A folder (links followed) gives itself; anything else the folder that holds it, when
// that exists. The result ends in '/'; nothing when neither is an existing folder.
std::optional<std::string> DroppedFolder(const std::string& path);

}  // namespace tessimar
