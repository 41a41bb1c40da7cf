#include "platform/trash_folders.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "file_test_helpers.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

using testing::IsFileSystemRoot;

// /dev/shm is a file system of its own on Linux: the place to make trash folders at a root.
constexpr const char* FileSystemRoot = "/dev/shm/";

// A folder at the root of FileSystemRoot, removed afterwards.
class RootFolder {
 public:
  explicit RootFolder(const std::string& name) : path_(FileSystemRoot + name + "/") {
    std::filesystem::create_directories(path_ + "files/inner");
  }
  ~RootFolder() { std::filesystem::remove_all(path_); }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

TEST(TrashFoldersTest, NamesThisUsersTrash) {
  EXPECT_EQ(TrashFolders::RecycleFolderName(), ".Trash-" + std::to_string(::getuid()) + "/");
}

TEST(TrashFoldersTest, TrashNamesCountAtTheRootOfAFileSystemOnly) {
  if (!IsFileSystemRoot(FileSystemRoot)) GTEST_SKIP() << FileSystemRoot << " is no file system of its own here";
  const std::string unique = std::to_string(::getpid());
  struct Case {
    std::string name;
    bool trash;
  };
  const Case cases[] = {
      {".Trash-" + unique, true},  {".Trash-" + unique + "x", false}, {".trash-" + unique, false},
      {".Trash-x" + unique, false}, {"Trash-" + unique, false},
  };
  const TrashFolders trash;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const RootFolder folder(c.name);
    EXPECT_EQ(trash.IsTrash(folder.Path(), *FolderIdentity(folder.Path())), c.trash);
    EXPECT_EQ(trash.Contains(folder.Path() + "files/inner"), c.trash);
    // The same name below the root is an ordinary folder.
    const std::string below = folder.Path() + "files/";
    std::filesystem::create_directory(below + c.name);
    EXPECT_FALSE(trash.IsTrash(below + c.name + "/", *FolderIdentity(below + c.name)));
  }
}

TEST(TrashFoldersTest, ALinkIntoATrashIsFollowedToIt) {
  if (!IsFileSystemRoot(FileSystemRoot)) GTEST_SKIP() << FileSystemRoot << " is no file system of its own here";
  const RootFolder folder(".Trash-" + std::to_string(::getpid()));
  testing::TempFolder temp;
  ASSERT_EQ(::symlink((folder.Path() + "files").c_str(), (temp / "link").c_str()), 0);
  EXPECT_TRUE(TrashFolders().Contains(temp / "link/inner"));
}

TEST(TrashFoldersTest, TheHomeTrashByAnyPath) {
  testing::TempFolder temp;
  const std::string home = temp.MakeFolder("home/Trash");
  temp.MakeFolder("home/Trash/files");
  ASSERT_EQ(::symlink(home.c_str(), (temp / "via").c_str()), 0);
  const TrashFolders trash(home);
  EXPECT_TRUE(trash.IsTrash(temp / "via/", *FolderIdentity(temp / "via")));
  EXPECT_TRUE(trash.Contains(temp / "via/files"));
  EXPECT_FALSE(trash.Contains(temp / "home"));
  EXPECT_FALSE(trash.Contains(temp / "missing/"));
  EXPECT_FALSE(TrashFolders(temp / "no-trash/").Contains(temp / "home"));
}

}  // namespace
}  // namespace tessimar
