#include "platform/trash_folders.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "temp_folder.h"

namespace tessimar {
namespace {

TEST(TrashFoldersTest, NamesThisUsersTrash) {
  EXPECT_EQ(TrashFolders::RecycleFolderName(), ".Trash-" + std::to_string(::getuid()) + "/");
}

TEST(TrashFoldersTest, KnowsTheTrashOfEachMountPointAndTheHomeTrash) {
  testing::TempFolder temp;
  const std::string mount = temp.MakeFolder("mnt");
  const std::string perUser = temp.MakeFolder("mnt/" + TrashFolders::RecycleFolderName() + "files");
  temp.MakeFolder("mnt/.Trash");
  const std::string other = temp.MakeFolder("mnt/photos/.Trash-0");
  const std::string home = temp.MakeFolder("home/Trash");
  ASSERT_EQ(::symlink(mount.c_str(), (temp / "via").c_str()), 0);
  const TrashFolders trash({mount, temp / "nothing-mounted-here"}, home);

  EXPECT_TRUE(trash.IsTrash(*FolderIdentity(mount + TrashFolders::RecycleFolderName())));
  EXPECT_TRUE(trash.IsTrash(*FolderIdentity(temp / "via/.Trash/")));
  EXPECT_TRUE(trash.IsTrash(*FolderIdentity(home)));
  EXPECT_FALSE(trash.IsTrash(*FolderIdentity(mount)));
  EXPECT_FALSE(trash.IsTrash(*FolderIdentity(other)));

  EXPECT_TRUE(trash.Contains(perUser));
  EXPECT_TRUE(trash.Contains(temp / "via/.Trash/"));
  EXPECT_FALSE(trash.Contains(temp / "via/photos/"));
  EXPECT_FALSE(trash.Contains(temp / "missing/"));
}

TEST(TrashFoldersTest, AnEmptySetSkipsNothing) {
  testing::TempFolder temp;
  const TrashFolders trash;
  EXPECT_FALSE(trash.IsTrash(*FolderIdentity(temp.Path())));
  EXPECT_FALSE(trash.Contains(temp.Path()));
}

}  // namespace
}  // namespace tessimar
