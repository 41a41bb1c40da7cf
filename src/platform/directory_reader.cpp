#include "platform/directory_reader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "platform/dos_time.h"
#include "platform/text_compare.h"

namespace tessimar {
namespace {

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

std::int32_t AttributesOf(const std::string& name, const struct stat& st) {
  std::int32_t attr = AttrArchive;
  if ((st.st_mode & S_IWUSR) == 0) attr |= AttrReadOnly;
  if (!name.empty() && name[0] == '.') attr |= AttrHidden;
  return attr;
}

std::optional<DirectoryEntry> EntryAt(int dirFd, const char* name) {
  struct stat st{};
  if (::fstatat(dirFd, name, &st, 0) != 0) return std::nullopt;
  const bool isFolder = S_ISDIR(st.st_mode);
  if (!isFolder && !S_ISREG(st.st_mode)) return std::nullopt;
  DirectoryEntry entry;
  entry.Name = name;
  entry.IsFolder = isFolder;
  entry.Size = st.st_size;
  entry.Time = ToDosDateTime(st.st_mtime);
  entry.Attr = AttributesOf(entry.Name, st);
  entry.Identity = {st.st_dev, st.st_ino};
  return entry;
}

}  // namespace

std::vector<DirectoryEntry> ReadDirectory(const std::string& folder) {
  std::vector<DirectoryEntry> entries;
  std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
  if (!dir) return entries;
  const int fd = ::dirfd(dir.get());
  while (const dirent* item = ::readdir(dir.get())) {
    const std::string_view name = item->d_name;
    if (name == "." || name == "..") continue;
    if (auto entry = EntryAt(fd, item->d_name)) entries.push_back(std::move(*entry));
  }
  std::sort(entries.begin(), entries.end(), [](const DirectoryEntry& a, const DirectoryEntry& b) {
    const int order = CompareTextNoCase(a.Name, b.Name);
    return order != 0 ? order < 0 : a.Name < b.Name;  // names differing in case only
  });
  return entries;
}

}  // namespace tessimar
