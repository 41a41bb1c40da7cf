// The seam between the scan and wherever analyses are remembered between scans.
#pragma once

#include <optional>
#include <string>
#include <unordered_set>

#include "analysis/picture_analysis.h"
#include "platform/file_stamp.h"

namespace tessimar {

// A cache never fails a scan: a lookup that cannot be answered is a miss, and a write
// that cannot be made is dropped.
class PictureCache {
 public:
  virtual ~PictureCache() = default;

  // The analysis stored for path under key, when it was stored with this very stamp.
  virtual std::optional<PictureAnalysis> Find(const std::string& path, const FileStamp& stamp,
                                              const AnalysisKey& key) = 0;
  // Remembers analysis of path as it was when stamped, replacing what was stored.
  virtual void Store(const std::string& path, const FileStamp& stamp, const AnalysisKey& key,
                     const PictureAnalysis& analysis) = 0;
  // Forgets the files of folder (ending in '/'), and of the folders below it when
  // subfolders, that kept does not name by their full paths.
  virtual void Prune(const std::string& folder, bool subfolders, const std::unordered_set<std::string>& kept) = 0;
  // Writes what Store holds back.
  virtual void Flush() = 0;
};

}  // namespace tessimar
