#include "scan/scan_run.h"

#include <unordered_set>

#include "matching/matching_pass.h"
#include "platform/number_format.h"
#include "platform/path_text.h"
#include "scan/folder_walk.h"
#include "scan/listed_folders.h"
#include "scan/scan_texts.h"
#include "settings/picture_types.h"

namespace tessimar {
namespace {

std::vector<std::string> EachWithTrailingSlash(const std::vector<std::string>& listed) {
  std::vector<std::string> folders;
  for (const std::string& folder : listed) folders.push_back(WithTrailingSlash(folder));
  return folders;
}

}  // namespace

ScanRun::ScanRun(Catalogue& catalogue, const TSettings& settings, ScanHost& host, TrashFolders trash,
                 std::string groupSeparator, PictureCache* cache, int jobs)
    : catalogue_(catalogue),
      settings_(settings),
      host_(host),
      trash_(std::move(trash)),
      groupSeparator_(std::move(groupSeparator)),
      cache_(cache),
      jobs_(jobs) {}

bool ScanRun::CheckPreconditions(const std::vector<std::string>& folders, bool folderListEmpty) {
  if (folders.empty() || folderListEmpty) {
    host_.ShowError(std::string(NoFoldersMessage));
    return false;
  }
  if (!AnyTypeEnabled(settings_)) {
    host_.ShowError(std::string(NoTypesMessage));
    return false;
  }
  return true;
}

void ScanRun::Run(const std::vector<std::string>& folders) {
  Walk(folders);
  if (!ScanStopped) {
    PruneCache(folders);
    Match();
  }
  SetSummary();
}

void ScanRun::Walk(const std::vector<std::string>& folders) {
  ScanStopped = false;
  catalogue_.Reset();
  catalogue_.AllocateCatalogue();
  WalkFolders(folders);
  catalogue_.TrimCatalogue();
}

void ScanRun::Match() {
  catalogue_.AllocatePairs();
  MatchingPass pass(catalogue_, settings_, host_, ScanStopped, cache_, jobs_);
  try {
    pass.MatchPictures();
  } catch (...) {
    catalogue_.TrimPairs();  // the window shows exactly the pairs the list holds
    if (cache_ != nullptr) cache_->Flush();
    throw;
  }
  catalogue_.TrimPairs();
  if (cache_ != nullptr) cache_->Flush();
}

// Forgets the cached files of the walked folders that the walk did not catalogue: gone,
// renamed, or no longer of a searched type.
void ScanRun::PruneCache(const std::vector<std::string>& listed) {
  if (cache_ == nullptr) return;
  std::unordered_set<std::string> catalogued;
  for (std::int32_t i = 0; i <= catalogue_.LastPicIndex; ++i) catalogued.insert(catalogue_.FullPath(i));
  const std::vector<std::string> folders = EachWithTrailingSlash(listed);
  for (std::size_t j = 0; j < folders.size(); ++j)
    if (!IsCoveredFolder(folders, j)) cache_->Prune(folders[j], host_.ScanSubfolders(), catalogued);
}

void ScanRun::WalkFolders(const std::vector<std::string>& listed) {
  const std::vector<std::string> folders = EachWithTrailingSlash(listed);
  FolderWalk walk(catalogue_, settings_, host_, trash_, ScanStopped);
  for (std::size_t j = 0; j < folders.size(); ++j) {
    if (!IsCoveredFolder(folders, j)) walk.ScanFolder(folders[j]);
    if (ScanStopped) return;
  }
}

void ScanRun::SetSummary() {
  host_.SetCaption(Caption::DuplicatesFound,
                   std::string(DuplicatesFoundPrefix) + FormatGrouped(catalogue_.LastPairIndex + 1, groupSeparator_));
  host_.SetCaption(Caption::ScannedCount,
                   std::string(ScannedCountPrefix) + FormatGrouped(catalogue_.LastPicIndex + 1, groupSeparator_));
}

}  // namespace tessimar
