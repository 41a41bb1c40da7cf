#include "platform/trash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string_view>

#include "platform/home_trash.h"
#include "platform/path_text.h"
#include "platform/percent_encoding.h"
#include "platform/rename_no_replace.h"
#include "platform/trash_place.h"

namespace tessimar {
namespace {

constexpr int MaxNameAttempts = 10000;

// One trash folder, holding files/ and info/.
struct TrashPlace {
  std::string folder;  // ending in '/'
  std::string topdir;  // the mount point it serves, ending in '/'; empty for the home trash
};

// "/a/b/" -> "/a/"; "/" stays.
std::string ParentOf(const std::string& folder) {
  if (folder.size() <= 1) return folder;
  return folder.substr(0, folder.rfind('/', folder.size() - 2) + 1);
}

// The device of path, or of its nearest existing ancestor when it does not exist yet.
std::optional<dev_t> DeviceOfNearest(std::string folder) {
  for (struct stat st {};; folder = ParentOf(folder)) {
    if (::stat(folder.c_str(), &st) == 0) return st.st_dev;
    if (folder == "/") return std::nullopt;
  }
}

// The mount point of the file system that holds folder (a real path ending in '/'): the
// uppermost folder on its device.
std::string MountPoint(std::string folder, dev_t device) {
  for (struct stat st {}; folder != "/"; folder = ParentOf(folder)) {
    if (::stat(ParentOf(folder).c_str(), &st) != 0 || st.st_dev != device) break;
  }
  return folder;
}

// The trash for a file with status file in folder (a real path ending in '/'), made ready.
int PrepareTrash(const struct stat& file, const std::string& folder, TrashPlace& place) {
  const std::string home = HomeTrashPath();
  if (!home.empty() && DeviceOfNearest(home) == file.st_dev) {
    place = {home, {}};
    return MakeHomeTrash(home);
  }
  const std::string topdir = MountPoint(folder, file.st_dev);
  place = {topdir + ".Trash-" + std::to_string(::getuid()) + "/", topdir};
  return MakeTopdirTrash(place.folder);
}

// Splits path into its real folder (ending in '/') and its name. The name itself is not
// resolved: a link goes to the trash as a link.
int Locate(const std::string& path, std::string& folder, std::string& name) {
  const std::size_t slash = path.rfind('/');
  name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty() || name == "." || name == "..") return EINVAL;
  const std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  char real[PATH_MAX];
  if (::realpath(parent.c_str(), real) == nullptr) return errno;
  folder = WithTrailingSlash(real);
  return 0;
}

std::string TrashInfo(std::string_view originalPath) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char date[32];
  std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
  return "[Trash Info]\nPath=" + PercentEncoded(originalPath) + "\nDeletionDate=" + date + "\n";
}

constexpr std::string_view InfoSuffix = ".trashinfo";

// The length of stem cut to at most room bytes, not inside a UTF-8 sequence.
std::size_t CutLength(std::string_view stem, std::size_t room) {
  if (stem.size() <= room) return stem.size();
  while (room > 0 && (static_cast<unsigned char>(stem[room]) & 0xC0) == 0x80) --room;
  return room;
}

// "a.jpg", "a.2.jpg", "a.3.jpg", ... for attempt 1, 2, 3, ... The stem is cut where the
// name's .trashinfo would not fit NAME_MAX; the .trashinfo keeps the whole original path.
std::string TrashName(const std::string& name, int attempt) {
  const std::string number = attempt == 1 ? std::string() : "." + std::to_string(attempt);
  const std::size_t dot = name.rfind('.');
  std::size_t stem = dot == std::string::npos || dot == 0 ? name.size() : dot;
  if (name.size() - stem + number.size() + InfoSuffix.size() >= NAME_MAX) stem = name.size();
  const std::size_t extension = stem == name.size() ? 0 : name.size() - stem;
  const std::size_t room = NAME_MAX - InfoSuffix.size() - number.size() - extension;
  return name.substr(0, CutLength(std::string_view(name).substr(0, stem), room)) + number + name.substr(stem);
}

// Writes text to a file that must not exist yet.
int WriteNewFile(const std::string& path, const std::string& text) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return errno;
  const ssize_t written = ::write(fd, text.data(), text.size());
  int error = written < 0 ? errno : written == static_cast<ssize_t>(text.size()) ? 0 : ENOSPC;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) ::unlink(path.c_str());
  return error;
}

}  // namespace

int MoveToTrash(const std::string& path, std::string* trashedAs) {
  std::string folder, name;
  if (const int error = Locate(path, folder, name)) return error;
  const std::string original = folder + name;
  struct stat file {};
  if (::lstat(original.c_str(), &file) != 0) return errno;
  TrashPlace place;
  if (const int error = PrepareTrash(file, folder, place)) return error;
  // A file system's own trash names its files relative to its mount point, so that they
  // can still be put back when it is mounted elsewhere.
  const std::string info = TrashInfo(std::string_view(original).substr(place.topdir.size()));
  for (int attempt = 1; attempt <= MaxNameAttempts; ++attempt) {
    const std::string trashName = TrashName(name, attempt);
    const std::string infoPath = place.folder + "info/" + trashName + std::string(InfoSuffix);
    int error = WriteNewFile(infoPath, info);
    if (error == EEXIST) continue;
    if (error != 0) return error;
    const std::string trashed = place.folder + "files/" + trashName;
    error = RenameNoReplace(original, trashed);
    if (error == 0) {
      if (trashedAs != nullptr) *trashedAs = trashed;
      return 0;
    }
    ::unlink(infoPath.c_str());
    if (error != EEXIST) return error;
  }
  return EEXIST;
}

}  // namespace tessimar
