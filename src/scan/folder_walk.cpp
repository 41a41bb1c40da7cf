#include "scan/folder_walk.h"

#include <array>
#include <climits>
#include <optional>
#include <string_view>
#include <unordered_set>

#include "platform/path_text.h"
#include "platform/text_compare.h"
#include "scan/scan_texts.h"
#include "settings/picture_types.h"

namespace tessimar {
namespace {

// The progress caption is refreshed at every tenth catalogued file only.
constexpr std::int32_t CaptionInterval = 10;

// Analysis, move and delete name a file by its full path: a file whose path the system
// cannot take (PATH_MAX counts the closing NUL) would be listed but never reached.
bool Reachable(const std::string& folder, const std::string& name) { return folder.size() + name.size() < PATH_MAX; }

}  // namespace

FolderWalk::FolderWalk(Catalogue& catalogue, const TSettings& settings, ScanHost& host, const TrashFolders& trash,
                       const std::atomic<bool>& scanStopped)
    : catalogue_(catalogue), settings_(settings), host_(host), trash_(trash), scanStopped_(scanStopped) {}

void FolderWalk::ScanFolder(std::string path) {
  path = WithTrailingSlash(std::move(path));
  const auto identity = FolderIdentity(path);
  if (!identity || trash_.Contains(path)) return;
  Visit(path, *identity);
}

void FolderWalk::Visit(std::string& path, const FileIdentity& identity) {
  if (trash_.IsTrash(path, identity) || !enteredFolders_.insert(identity).second) return;
  host_.PumpMessages();

  // Read once, and only when a mask needs it: a visit after a stop reads nothing.
  std::optional<std::vector<DirectoryEntry>> entries;
  // A name can match two masks (a.jpeg.png); it is catalogued under the first only.
  std::unordered_set<std::string> catalogued;
  for (const PictureType& type : PictureTypesByRank) {
    if (!(settings_.*type.Search)) continue;
    for (std::string_view mask : type.Masks) {
      if (mask.empty()) continue;
      if (scanStopped_) return;
      if (!entries) entries = ReadDirectory(path);
      CatalogueMask(path, *entries, mask, catalogued);
    }
  }

  if (!host_.ScanSubfolders()) return;
  if (!entries) entries = ReadDirectory(path);
  VisitSubfolders(path, *entries);
}

void FolderWalk::CatalogueMask(const std::string& path, const std::vector<DirectoryEntry>& entries,
                               std::string_view mask, std::unordered_set<std::string>& catalogued) {
  for (const DirectoryEntry& entry : entries) {
    if (!MatchesMask(entry.Name, mask)) continue;
    if (!entry.IsFolder) {
      host_.PumpMessages();
      if (entry.Size != 0 && Reachable(path, entry.Name) && FirstMeeting(entry, catalogued)) {
        // The folder enters the table with its first catalogued file.
        if (catalogued.size() == 1) catalogue_.RegisterFolder(path);
        CatalogueFile(entry);
      }
    }
    if (scanStopped_) return;
  }
}

// False for a name this folder's walk catalogued under an earlier mask, and for a file
// catalogued already under another name.
bool FolderWalk::FirstMeeting(const DirectoryEntry& file, std::unordered_set<std::string>& catalogued) {
  if (catalogued.contains(file.Name) || !cataloguedFiles_.insert(file.Identity).second) return false;
  catalogued.insert(file.Name);
  return true;
}

void FolderWalk::CatalogueFile(const DirectoryEntry& entry) {
  TPicInfo picture;
  picture.Time = entry.Time;
  picture.Size = entry.Size;
  picture.Attr = entry.Attr;
  picture.FileName = entry.Name;
  picture.Identity = entry.Identity;
  catalogue_.AppendPicture(std::move(picture));
  if (catalogue_.LastPicIndex % CaptionInterval == 0)
    host_.SetCaption(Caption::FilesCount,
                     std::string(FilesCountPrefix) + "0 / " + std::to_string(catalogue_.LastPicIndex + 1));
}

void FolderWalk::VisitSubfolders(std::string& path, const std::vector<DirectoryEntry>& entries) {
  const std::size_t length = path.size();
  for (const DirectoryEntry& entry : entries) {
    if (!entry.IsFolder) continue;
    path.append(entry.Name).push_back('/');
    Visit(path, entry.Identity);
    path.resize(length);
  }
}

}  // namespace tessimar
