// One scan without its window: the preconditions, the walk of the listed folders, the
// matching pass and the summary captions. The window wraps it in its busy and idle states.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "analysis/picture_cache.h"
#include "catalogue/catalogue.h"
#include "platform/scan_host.h"
#include "platform/trash_folders.h"
#include "settings/settings.h"

namespace tessimar {

class ScanRun {
 public:
  // groupSeparator: the digit-group separator of the summary counts. cache: where the
  // analyses of unchanged files come from, kept free of files the walk no longer finds;
  // nullptr analyses every file. jobs: the matching pass's worker threads, 0 for none
  // (MatchingPass).
  ScanRun(Catalogue& catalogue, const TSettings& settings, ScanHost& host, TrashFolders trash,
          std::string groupSeparator, PictureCache* cache = nullptr, int jobs = 0);

  // True while no scan runs or once a stop was requested. A host sets it from its pump.
  std::atomic<bool> ScanStopped{true};

  // Tells the host why a scan cannot start, if it cannot. folderListEmpty: the list
  // shows only its placeholder.
  bool CheckPreconditions(const std::vector<std::string>& folders, bool folderListEmpty);

  // Walks the listed folders that no other listed folder covers, then matches the
  // pictures unless stopped, and sets the summary captions. Leaves ScanStopped as the
  // scan ended: true when it was stopped.
  void Run(const std::vector<std::string>& folders);

  // The first half of Run: fills and trims the catalogue, nothing more.
  void Walk(const std::vector<std::string>& folders);

 private:
  void WalkFolders(const std::vector<std::string>& folders);
  void PruneCache(const std::vector<std::string>& folders);
  void Match();
  void SetSummary();

  Catalogue& catalogue_;
  const TSettings& settings_;
  ScanHost& host_;
  TrashFolders trash_;
  std::string groupSeparator_;
  PictureCache* cache_;
  int jobs_;
};

}  // namespace tessimar
