// Where the settings file lives: the user's configuration folder, or the program's own.
#pragma once

#include <string>

namespace tessimar {

// "<config home>/Tessimar/", creating only that last folder when it is missing; the
// application's folder when there is no config home or the folder cannot be made.
// configHome is $XDG_CONFIG_HOME, home is $HOME; either may be null.
std::string DataFolderFrom(const char* configHome, const char* home, const std::string& applicationFolder);

// DataFolderFrom for this process's environment and executable.
std::string DataFolder();

// The folder of the running executable, with a trailing '/'.
std::string ApplicationFolder();

}  // namespace tessimar
