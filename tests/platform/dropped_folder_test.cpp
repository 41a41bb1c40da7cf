#include "platform/dropped_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "temp_folder.h"

namespace tessimar {
namespace {

TEST(DroppedFolderTest, GivesTheFolderADroppedItemAdds) {
  testing::TempFolder temp;
  const std::string photos = temp.MakeFolder("photos");
  temp.Write("photos/a.jpg", "x");
  ASSERT_EQ(::symlink(photos.c_str(), (temp / "link").c_str()), 0);
  ASSERT_EQ(::mkfifo((temp / "photos/pipe").c_str(), 0600), 0);
  const std::string root = temp.Path().substr(0, temp.Path().size() - 1);

  struct Row {
    std::string dropped;
    std::optional<std::string> folder;
  };
  const Row rows[] = {
      {temp / "photos", photos},
      {temp / "photos/", photos},
      {temp / "photos/a.jpg", photos},
      {temp / "photos/pipe", photos},
      {temp / "photos/missing.jpg", photos},
      {temp / "link", temp / "link/"},
      {temp / "gone/a.jpg", std::nullopt},
      {"/", "/"},
      {"/vmlinuz-none", "/"},
      {root, temp.Path()},
      {"a.jpg", std::nullopt},
      {"", std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.dropped);
    EXPECT_EQ(DroppedFolder(row.dropped), row.folder);
  }
}

}  // namespace
}  // namespace tessimar
