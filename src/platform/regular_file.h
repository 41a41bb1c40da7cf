// Reading a small file whole that must be a regular file, such as a settings file.
#pragma once

#include <string>

namespace tessimar {

// The bytes of the regular file at path (links followed). A folder, FIFO, socket or
// device in its place is refused without blocking or reading from it. Throws
// std::runtime_error with the reason ("Is a directory", "not a regular file", ...).
std::string ReadRegularFile(const std::string& path);

}  // namespace tessimar
