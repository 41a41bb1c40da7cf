// Where the settings file lives: the user's configuration folder.
#pragma once

#include <string>

namespace tessimar {

// "<config home>/Tessimar/", made with every missing folder above it (mode 0700, as the
// XDG base-directory rules ask) so that the settings never go beside the program.
// configHome is $XDG_CONFIG_HOME, a relative one ignored; home is the user's home folder.
// When the folder cannot be made its path is still the answer: saving there then fails
// with a message.
std::string DataFolderFrom(const char* configHome, const std::string& home);

// DataFolderFrom for this process's environment: $HOME, or the account's home folder.
std::string DataFolder();

// $HOME, or the account's home folder, or "/".
std::string HomeFolder();

// Makes each missing folder of path (up to its last '/') with mode 0700; folders that
// exist keep their mode.
void MakePrivateFolders(const std::string& path);

}  // namespace tessimar
