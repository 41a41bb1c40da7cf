// The content probe and the byte comparison that tell identical files apart cheaply.
#pragma once

#include <functional>
#include <string>

#include "catalogue/pic_info.h"

namespace tessimar {

// Reads the first 256 bytes of a regular file into probe; bytes past the end of a shorter
// file are zero. When the file cannot be opened, probe is left untouched.
void ReadPreBuffer(const std::string& fileName, TPreBuffer& probe);

// True when both names open as regular files of the same bytes. Two names of one file
// (a hard link, a path through a linked folder) compare false, as an exclusive open of
// the second name would fail. goOn runs after every compared block; once it answers false
// the comparison ends there and answers false.
bool FilesEqual(const std::string& first, const std::string& second, const std::function<bool()>& goOn);

}  // namespace tessimar
