// What the tests of file operations share: looks at names and file systems.
#pragma once

#include <string>

namespace tessimar::testing {

// True when something (a link too, resolving or not) has this name.
bool Exists(const std::string& path);

// True when folder (ending in '/') is the root of a file system of its own.
bool IsFileSystemRoot(const std::string& folder);

}  // namespace tessimar::testing
