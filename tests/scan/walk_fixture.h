// A catalogue, settings and scripted host around a temporary folder tree.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "platform/trash_folders.h"
#include "scan/folder_walk.h"
#include "scripted_host.h"
#include "settings/settings.h"
#include "temp_folder.h"

namespace tessimar {

class WalkFixture : public ::testing::Test {
 protected:
  // Full paths of the catalogue, relative to the temporary folder, in catalogue order.
  std::vector<std::string> Listed() const {
    std::vector<std::string> paths;
    for (std::int32_t i = 0; i <= catalogue.LastPicIndex; ++i)
      paths.push_back(catalogue.FullPath(i).substr(temp.Path().size()));
    return paths;
  }
  std::vector<std::string> Folders() const {
    std::vector<std::string> folders;
    for (std::int32_t i = 0; i <= catalogue.LastPathIndex; ++i)
      folders.push_back(catalogue.PathList[i].substr(temp.Path().size()));
    return folders;
  }
  // Walks the folder at relative as a scan would, into a fresh catalogue.
  void Walk(const std::string& relative = "") {
    catalogue.Reset();
    catalogue.AllocateCatalogue();
    FolderWalk walk(catalogue, settings, host, trash, stopped);
    stopped = false;
    walk.ScanFolder(temp / relative);
    catalogue.TrimCatalogue();
  }
  void Link(const std::string& target, const std::string& name) const {
    ASSERT_EQ(::symlink(target.c_str(), (temp / name).c_str()), 0);
  }

  testing::TempFolder temp;
  Catalogue catalogue;
  TSettings settings;
  testing::ScriptedHost host;
  TrashFolders trash;
  std::atomic<bool> stopped{false};
};

}  // namespace tessimar
