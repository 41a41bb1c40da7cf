#include "platform/trash_folders.h"

#include "platform/home_trash.h"
#include "platform/path_text.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string_view>

namespace tessimar {
namespace {

// ".Trash", shared by all users, or ".Trash-" and a user id.
bool IsTrashName(std::string_view name) {
  constexpr std::string_view PerUser = ".Trash-";
  if (name == ".Trash") return true;
  if (!name.starts_with(PerUser) || name.size() == PerUser.size()) return false;
  return std::all_of(name.begin() + PerUser.size(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A folder at which a file system is mounted: its parent lies on another device, or it
// is its own parent ("/").
bool IsFileSystemRoot(const std::string& folder) {
  struct stat self{}, parent{};
  if (::stat(folder.c_str(), &self) != 0 || ::stat((WithTrailingSlash(folder) + "..").c_str(), &parent) != 0) return false;
  return self.st_dev != parent.st_dev || self.st_ino == parent.st_ino;
}

}  // namespace

TrashFolders::TrashFolders(const std::string& homeTrash) : homeTrash_(FolderIdentity(homeTrash)) {
  std::error_code error;
  if (homeTrash_) homeTrashPath_ = WithTrailingSlash(std::filesystem::canonical(homeTrash, error).string());
}

TrashFolders TrashFolders::OfThisSystem() { return TrashFolders(HomeTrashPath()); }

std::string TrashFolders::RecycleFolderName() { return ".Trash-" + std::to_string(::getuid()) + "/"; }

bool TrashFolders::IsTrash(const std::string& folder, const FileIdentity& identity) const {
  if (identity == homeTrash_) return true;
  const std::string_view path(folder.data(), folder.size() - 1);  // without its last '/'
  const std::size_t slash = path.rfind('/');
  return slash != std::string_view::npos && IsTrashName(path.substr(slash + 1)) &&
         IsFileSystemRoot(std::string(path.substr(0, slash + 1)));
}

bool TrashFolders::Contains(const std::string& path) const {
  std::error_code error;
  const std::string real = WithTrailingSlash(std::filesystem::canonical(path, error).string());
  if (error) return false;
  if (!homeTrashPath_.empty() && real.starts_with(homeTrashPath_)) return true;
  for (std::size_t end = real.find('/', 1); end != std::string::npos; end = real.find('/', end + 1)) {
    const std::string folder = real.substr(0, end + 1);
    const auto identity = FolderIdentity(folder);
    if (identity && IsTrash(folder, *identity)) return true;
  }
  return false;
}

}  // namespace tessimar
