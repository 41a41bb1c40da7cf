// What a test reads back from a file it made or a program wrote: its bytes, its mode.
#pragma once

#include <string>

namespace tessimar::testing {

// The bytes of the file at path; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);

// The mode bits of the file at path (links followed); 0 when there is none.
unsigned ModeOf(const std::string& path);

}  // namespace tessimar::testing
