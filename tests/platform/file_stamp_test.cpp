#include "platform/file_stamp.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "temp_folder.h"

namespace tessimar {
namespace {

TEST(FileStamp, OnlyRegularFilesHaveOneAndLinksLeadToTheirTarget) {
  testing::TempFolder temp;
  const std::string file = temp.Write("a.jpg", "12345");
  ASSERT_EQ(::symlink(file.c_str(), (temp / "link.jpg").c_str()), 0);
  ASSERT_EQ(::mkfifo((temp / "fifo.jpg").c_str(), 0600), 0);
  temp.MakeFolder("folder.jpg");

  const auto stamp = StampOf(file);
  ASSERT_TRUE(stamp);
  struct stat status {};
  ASSERT_EQ(::stat(file.c_str(), &status), 0);
  EXPECT_EQ(stamp->Size, 5);
  EXPECT_EQ(stamp->Inode, status.st_ino);
  EXPECT_EQ(stamp->ModifiedNs, status.st_mtim.tv_sec * 1'000'000'000LL + status.st_mtim.tv_nsec);
  EXPECT_EQ(StampOf(temp / "link.jpg"), stamp);
  for (const char* name : {"fifo.jpg", "folder.jpg", "missing.jpg", "a.jpg/under"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(StampOf(temp / name));
  }
}

TEST(FileStamp, PuttingTheModificationTimeBackStillChangesTheStamp) {
  testing::TempFolder temp;
  const std::string file = temp.Write("a.jpg", "12345");
  const auto before = StampOf(file);
  ASSERT_TRUE(before);
  ::usleep(20000);  // past the file system's clock tick
  temp.Write("a.jpg", "54321");
  const timespec times[2] = {{0, UTIME_OMIT}, {before->ModifiedNs / 1'000'000'000, before->ModifiedNs % 1'000'000'000}};
  ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
  const auto after = StampOf(file);
  ASSERT_TRUE(after);
  EXPECT_EQ(after->ModifiedNs, before->ModifiedNs);
  EXPECT_NE(after, before);
}

}  // namespace
}  // namespace tessimar
