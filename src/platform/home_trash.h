// Where the user's own trash lies, read from the environment at each call.
#pragma once

#include <string>

namespace tessimar {

// $XDG_DATA_HOME/Trash/, or $HOME/.local/share/Trash/ when XDG_DATA_HOME is unset or not
// absolute; empty when neither gives an absolute path.
std::string HomeTrashPath();

}  // namespace tessimar
