#include "platform/directory_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

#include "bound_socket.h"
#include "environment.h"
#include "platform/dos_time.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

std::vector<std::string> Names(const std::vector<DirectoryEntry>& entries) {
  std::vector<std::string> names;
  for (const auto& entry : entries) names.push_back(entry.Name);
  return names;
}

TEST(DirectoryReaderTest, DeliversNamesInTheOrderWithoutCase) {
  testing::TempFolder temp;
  for (const char* name : {"b.jpg", "A.jpg", "_u.jpg", "a.JPG", "C.jpg", "a.jpg"}) temp.Write(name, "x");
  EXPECT_EQ(Names(ReadDirectory(temp.Path())),
            (std::vector<std::string>{"A.jpg", "a.JPG", "a.jpg", "b.jpg", "C.jpg", "_u.jpg"}));
}

TEST(DirectoryReaderTest, OnlyFilesAndFoldersWithLinksFollowed) {
  testing::TempFolder temp;
  temp.Write("file.png", "12345");
  temp.MakeFolder("folder");
  ASSERT_EQ(::mkfifo((temp / "fifo.png").c_str(), 0600), 0);
  ASSERT_EQ(::symlink("file.png", (temp / "link.png").c_str()), 0);
  ASSERT_EQ(::symlink("folder", (temp / "linked").c_str()), 0);
  ASSERT_EQ(::symlink("missing", (temp / "dangling.png").c_str()), 0);
  const testing::BoundSocket listening(temp / "socket.png");

  const auto entries = ReadDirectory(temp.Path());
  ASSERT_EQ(Names(entries), (std::vector<std::string>{"file.png", "folder", "link.png", "linked"}));
  EXPECT_FALSE(entries[0].IsFolder);
  EXPECT_EQ(entries[0].Size, 5);
  EXPECT_TRUE(entries[1].IsFolder);
  EXPECT_EQ(entries[2].Size, 5);
  EXPECT_TRUE(entries[3].IsFolder);
  EXPECT_EQ(entries[1].Identity, entries[3].Identity);
}

TEST(DirectoryReaderTest, AttributesAndTime) {
  testing::TempFolder temp;
  const std::string plain = temp.Write("plain.jpg", "x");
  const std::string hidden = temp.Write(".hidden.jpg", "x");
  ::chmod(hidden.c_str(), 0444);
  const auto entries = ReadDirectory(temp.Path());
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].Name, ".hidden.jpg");
  EXPECT_EQ(entries[0].Attr, AttrArchive | AttrHidden | AttrReadOnly);
  EXPECT_EQ(entries[1].Attr, AttrArchive);
  struct stat st{};
  ::stat(plain.c_str(), &st);
  EXPECT_EQ(entries[1].Time, ToDosDateTime(st.st_mtime));
}

TEST(DirectoryReaderTest, AFolderThatCannotBeReadGivesNothing) {
  EXPECT_TRUE(ReadDirectory("/no/such/folder/").empty());
  testing::TempFolder temp;
  EXPECT_TRUE(ReadDirectory(temp.Write("file.jpg", "x")).empty());
}

TEST(DosTimeTest, PacksLocalDateHighAndTimeLow) {
  {
    const testing::ScopedVariable utc("TZ", "UTC");
    ::tzset();
    // 2021-03-04 05:06:08 UTC
    EXPECT_EQ(static_cast<std::uint32_t>(ToDosDateTime(1614834368)),
              (((2021u - 1980) << 9 | 3 << 5 | 4) << 16) | (5u << 11 | 6 << 5 | 4));
    EXPECT_EQ(ToDosDateTime(0), 0);  // 1970 has no FAT form
  }
  ::tzset();
}

}  // namespace
}  // namespace tessimar
