#include "platform/dropped_folder.h"

#include "platform/path_text.h"

#include "platform/file_identity.h"

namespace tessimar {
namespace {

// The text up to the last '/', without it unless it is the root.
std::string FolderPart(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

}  // namespace

std::optional<std::string> DroppedFolder(const std::string& path) {
  if (IsFolder(path)) return WithTrailingSlash(path);
  const std::string folder = FolderPart(path);
  if (!folder.empty() && IsFolder(folder)) return WithTrailingSlash(folder);
  return std::nullopt;
}

}  // namespace tessimar
