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
#include "platform/scan_host.h"
#include "platform/trash_folders.h"
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
  bool FirstMeeting(const DirectoryEntry& file, std::unordered_set<std::string>& catalogued);
  void CatalogueFile(const DirectoryEntry& entry);
  void VisitSubfolders(std::string& path, const std::vector<DirectoryEntry>& entries);

  Catalogue& catalogue_;
  const TSettings& settings_;
  ScanHost& host_;
  const TrashFolders& trash_;
  const std::atomic<bool>& scanStopped_;
  // Whatever links or listed folders lead to them again, a folder is entered once and a
  // file catalogued once per scan: a web of links cannot multiply the walk, and no file
  // is listed under two names, where deleting one "copy" would delete the other too.
  std::unordered_set<FileIdentity, FileIdentityHash> enteredFolders_;
  std::unordered_set<FileIdentity, FileIdentityHash> cataloguedFiles_;
};

}  // namespace tessimar
