#include "scan/scan_run.h"

#include "analysis/match_pictures.h"
#include "platform/number_format.h"
#include "platform/path_text.h"
#include "scan/folder_walk.h"
#include "scan/listed_folders.h"
#include "scan/scan_texts.h"
#include "settings/picture_types.h"

namespace tessimar {

ScanRun::ScanRun(Catalogue& catalogue, const TSettings& settings, ScanHost& host, TrashFolders trash,
                 std::string groupSeparator)
    : catalogue_(catalogue),
      settings_(settings),
      host_(host),
      trash_(std::move(trash)),
      groupSeparator_(std::move(groupSeparator)) {}

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
  if (!ScanStopped) Match();
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
  MatchingPass pass(catalogue_, settings_, host_, ScanStopped);
  try {
    pass.MatchPictures();
  } catch (...) {
    catalogue_.TrimPairs();  // the window shows exactly the pairs the list holds
    throw;
  }
  catalogue_.TrimPairs();
}

void ScanRun::WalkFolders(const std::vector<std::string>& listed) {
  std::vector<std::string> folders;
  for (const std::string& folder : listed) folders.push_back(WithTrailingSlash(folder));
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
