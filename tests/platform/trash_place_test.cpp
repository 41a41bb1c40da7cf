#include "platform/trash_place.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>

#include "file_state.h"
#include "file_test_helpers.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

using testing::Exists;
using testing::ModeOf;

// A file system's shared trash as another user or program may have left it. Only this
// user's own folder is used; a link, even to a folder, could lead the files elsewhere.
TEST(TrashPlaceTest, ASharedTrashIsUsedOnlyWhenItIsTheUsersOwnFolder) {
  struct Row {
    const char* what;
    std::function<void(const std::string& trash, const std::string& elsewhere)> leave;
    int error;
  };
  const Row rows[] = {
      {"none yet", [](const std::string&, const std::string&) {}, 0},
      {"the user's own folder, readable by all",
       [](const std::string& trash, const std::string&) { ::mkdir(trash.c_str(), 0755); }, 0},
      {"a link to a folder",
       [](const std::string& trash, const std::string& elsewhere) { ::symlink(elsewhere.c_str(), trash.c_str()); },
       ENOTDIR},
      {"a link to nothing",
       [](const std::string& trash, const std::string& elsewhere) {
         ::symlink((elsewhere + "missing").c_str(), trash.c_str());
       },
       ENOENT},
      {"a file", [](const std::string& trash, const std::string&) { std::ofstream file(trash); }, ENOTDIR},
      {"its files folder is a file",
       [](const std::string& trash, const std::string&) {
         ::mkdir(trash.c_str(), 0700);
         std::ofstream file(trash + "/files");
       },
       ENOTDIR},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    testing::TempFolder top;
    const std::string elsewhere = top.MakeFolder("elsewhere");
    const std::string trash = top / (".Trash-" + std::to_string(::getuid()));
    row.leave(trash, elsewhere);

    EXPECT_EQ(MakeTopdirTrash(trash + "/"), row.error);
    EXPECT_TRUE(std::filesystem::is_empty(elsewhere)) << "made something where a link leads";
    if (row.error == 0) {
      for (const char* folder : {"files", "info"}) EXPECT_EQ(ModeOf(trash + "/" + folder), 0700u) << folder;
    } else {
      EXPECT_FALSE(Exists(trash + "/info"));
    }
  }
}

TEST(TrashPlaceTest, AnotherUsersSharedTrashIsRefused) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give a folder to another user";
  testing::TempFolder top;
  const std::string trash = top / (".Trash-" + std::to_string(::getuid()));
  ASSERT_EQ(::mkdir(trash.c_str(), 0700), 0);
  ASSERT_EQ(::chown(trash.c_str(), ::getuid() + 1, ::getgid()), 0);
  EXPECT_EQ(MakeTopdirTrash(trash + "/"), EPERM);
  EXPECT_FALSE(Exists(trash + "/files"));
}

}  // namespace
}  // namespace tessimar
