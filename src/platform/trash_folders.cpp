#include "platform/trash_folders.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tessimar {
namespace {

std::string WithSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

bool IsOctalDigit(char c) { return c >= '0' && c <= '7'; }

// Mount points in /proc/self/mounts write space, tab, newline and backslash as "\ooo".
std::string UnescapeMountPoint(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size() && IsOctalDigit(text[i + 1]) && IsOctalDigit(text[i + 2]) &&
        IsOctalDigit(text[i + 3])) {
      out += static_cast<char>(std::stoi(text.substr(i + 1, 3), nullptr, 8));
      i += 3;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::vector<std::string> MountPoints() {
  std::vector<std::string> points;
  std::ifstream mounts("/proc/self/mounts");
  std::string line;
  while (std::getline(mounts, line)) {
    std::istringstream fields(line);
    std::string device, point;
    if (fields >> device >> point) points.push_back(UnescapeMountPoint(point));
  }
  return points;
}

std::string HomeTrash() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome != nullptr && dataHome[0] == '/') return WithSlash(dataHome) + "Trash/";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return WithSlash(home) + ".local/share/Trash/";
  return {};
}

}  // namespace

TrashFolders::TrashFolders(const std::vector<std::string>& mountPoints, const std::string& homeTrash) {
  const std::string perUser = RecycleFolderName();
  for (const std::string& point : mountPoints) {
    Add(WithSlash(point) + perUser);
    Add(WithSlash(point) + ".Trash/");
  }
  if (!homeTrash.empty()) Add(homeTrash);
}

TrashFolders TrashFolders::OfThisSystem() { return TrashFolders(MountPoints(), HomeTrash()); }

std::string TrashFolders::RecycleFolderName() { return ".Trash-" + std::to_string(::getuid()) + "/"; }

void TrashFolders::Add(const std::string& folder) {
  const auto identity = FolderIdentity(folder);
  if (!identity || std::find(identities_.begin(), identities_.end(), *identity) != identities_.end()) return;
  identities_.push_back(*identity);
  std::error_code error;
  prefixes_.push_back(WithSlash(std::filesystem::canonical(folder, error).string()));
}

bool TrashFolders::IsTrash(const FileIdentity& folder) const {
  return std::find(identities_.begin(), identities_.end(), folder) != identities_.end();
}

bool TrashFolders::Contains(const std::string& path) const {
  std::error_code error;
  const std::string real = WithSlash(std::filesystem::canonical(path, error).string());
  if (error) return false;
  return std::any_of(prefixes_.begin(), prefixes_.end(),
                     [&real](const std::string& prefix) { return real.starts_with(prefix); });
}

}  // namespace tessimar
