// Showing a file in the desktop's file manager.
#pragma once

#include <string>

namespace tessimar {

// Asks the file manager to show the file selected (org.freedesktop.FileManager1 ShowItems
// on the session bus); when none answers, opens the file's folder with the default
// application instead. path is taken by its bytes.
void ShowInFileManager(const std::string& path);

}  // namespace tessimar
