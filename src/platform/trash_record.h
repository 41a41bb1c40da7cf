// Reading back what the freedesktop.org trash recorded about a trashed file, so that it can
// be put back only where its record says it came from.
#pragma once

#include <optional>
#include <string>

namespace tessimar {

// The record of the file at trashedFile (<trash>/files/<name>): <trash>/info/<name>.trashinfo.
std::string TrashInfoPath(const std::string& trashedFile);

// The full path the record names as the file's origin, its Path= percent-decoded; a relative
// one (a file system's own trash) is taken from that trash's mount point, the folder holding
// the trash. Nothing when the record is missing, unreadable or not of the trash's form.
std::optional<std::string> TrashedFileOrigin(const std::string& trashedFile);

}  // namespace tessimar
