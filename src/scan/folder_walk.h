// ScanFolder: catalogues the picture files of one listed folder and, when the host's
// subfolder switch is on, of every folder below it.
#pragma once

#include <atomic>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "catalogue/catalogue.h"
#include "platform/directory_reader.h"
#include "platform/trash_folders.h"
#include "platform/scan_host.h"
#include "settings/settings.h"

namespace tessimar {

class FolderWalk {
 public:
  FolderWalk(Catalogue& catalogue, const TSettings& settings, ScanHost& host, const TrashFolders& trash,
             const std::atomic<bool>& scanStopped);

  void ScanFolder(std::string path);

 private:
  void Visit(std::string& path, const FileIdentity& identity);
  void CatalogueMask(const std::string& path, const std::vector<DirectoryEntry>& entries, std::string_view mask,
                     std::unordered_set<std::string>& catalogued);
  void CatalogueFile(const DirectoryEntry& entry);
  void VisitSubfolders(std::string& path, const std::vector<DirectoryEntry>& entries);

  Catalogue& catalogue_;
  const TSettings& settings_;
  ScanHost& host_;
  const TrashFolders& trash_;
  const std::atomic<bool>& scanStopped_;
  std::vector<FileIdentity> ancestors_;  // the folders on the current path, to break link cycles
};

}  // namespace tessimar
