#include "platform/trash_record.h"

#include <sstream>
#include <stdexcept>
#include <string_view>

#include "platform/path_text.h"
#include "platform/percent_encoding.h"
#include "platform/regular_file.h"

namespace tessimar {
namespace {

constexpr std::string_view Group = "[Trash Info]";
constexpr std::string_view PathKey = "Path=";

// The Path= value of the record's [Trash Info] group, which must be its first line.
std::optional<std::string> PathValue(const std::string& record) {
  std::istringstream lines(record);
  std::string line;
  if (!std::getline(lines, line) || line != Group) return std::nullopt;
  while (std::getline(lines, line) && !line.starts_with('[')) {
    if (line.starts_with(PathKey)) return line.substr(PathKey.size());
  }
  return std::nullopt;
}

// "<topdir>/.Trash-1000/files/a.jpg" -> "<topdir>/".
std::string MountPointOfTrash(const std::string& trashedFile) {
  std::string folder(SplitPath(trashedFile).first);  // <trash>/files/
  for (int up = 0; up < 2 && folder.size() > 1; ++up) folder = SplitPath(folder.substr(0, folder.size() - 1)).first;
  return folder;
}

}  // namespace

std::string TrashInfoPath(const std::string& trashedFile) {
  const auto [files, name] = SplitPath(trashedFile);
  const std::string_view trash = SplitPath(files.substr(0, files.size() - 1)).first;
  return std::string(trash) + "info/" + std::string(name) + ".trashinfo";
}

std::optional<std::string> TrashedFileOrigin(const std::string& trashedFile) {
  std::string record;
  try {
    record = ReadRegularFile(TrashInfoPath(trashedFile));
  } catch (const std::runtime_error&) {
    return std::nullopt;
  }
  const std::optional<std::string> value = PathValue(record);
  if (!value || value->empty()) return std::nullopt;
  std::optional<std::string> origin = PercentDecoded(*value);
  if (origin && !origin->starts_with('/')) origin = MountPointOfTrash(trashedFile) + *origin;
  return origin;
}

}  // namespace tessimar
