#include "platform/trash_record.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/percent_encoding.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

TEST(PercentEncodingTest, EveryByteComesBackAndNoControlByteIsLeft) {
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  const std::string encoded = PercentEncoded(all);
  for (const unsigned char c : encoded) EXPECT_TRUE(c > ' ' && c < 0x7F) << static_cast<int>(c);
  EXPECT_EQ(PercentDecoded(encoded), all);
  EXPECT_EQ(PercentEncoded("/照片/a b%41\t.jpg"), "/%E7%85%A7%E7%89%87/a%20b%2541%09.jpg");
}

TEST(PercentEncodingTest, ABrokenEscapeIsRefusedNotGuessed) {
  struct Case {
    const char* text;
    std::optional<std::string> decoded;
  };
  const Case cases[] = {
      {"/a%20b", "/a b"},      {"/a%e7%85%a7", "/a\xE7\x85\xA7"},
      {"/a b", "/a b"},        {"", ""},
      {"/a%", std::nullopt},   {"/a%2", std::nullopt},
      {"/a%G0", std::nullopt}, {"/a%0G", std::nullopt},
      {"%%41", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(PercentDecoded(c.text), c.decoded);
  }
}

// A trash laid out by hand: <trash>/files/a.jpg and, when given, its record.
TEST(TrashRecordTest, TheOriginIsTheRecordsPathOrNothing) {
  struct Case {
    const char* what;
    std::optional<std::string> record;  // the .trashinfo's bytes; nullopt: none
    std::optional<std::string> origin;  // with "<top>" for the folder holding the trash
  };
  const std::string date = "DeletionDate=2024-05-01T10:00:00\n";
  const Case cases[] = {
      {"absolute", "[Trash Info]\nPath=/photos/a.jpg\n" + date, "/photos/a.jpg"},
      {"encoded", "[Trash Info]\nPath=/%E7%85%A7/a%20b.jpg\n" + date, "/\xE7\x85\xA7/a b.jpg"},
      {"date first", "[Trash Info]\n" + date + "Path=/photos/a.jpg\n", "/photos/a.jpg"},
      {"relative to the file system's top", "[Trash Info]\nPath=photos/a.jpg\n" + date, "<top>photos/a.jpg"},
      {"no record", std::nullopt, std::nullopt},
      {"no group line", "Path=/photos/a.jpg\n" + date, std::nullopt},
      {"another group first", "[Desktop Entry]\nPath=/photos/a.jpg\n", std::nullopt},
      {"the path in another group", "[Trash Info]\n" + date + "[Other]\nPath=/photos/a.jpg\n", std::nullopt},
      {"no path", "[Trash Info]\n" + date, std::nullopt},
      {"empty path", "[Trash Info]\nPath=\n" + date, std::nullopt},
      {"broken escape", "[Trash Info]\nPath=/photos/a%2.jpg\n" + date, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testing::TempFolder top;
    const std::string trashed = top.Write(".Trash-1000/files/a.jpg", "picture");
    EXPECT_EQ(TrashInfoPath(trashed), top / ".Trash-1000/info/a.jpg.trashinfo");
    if (c.record) top.Write(".Trash-1000/info/a.jpg.trashinfo", *c.record);
    std::optional<std::string> expected = c.origin;
    if (expected && expected->starts_with("<top>")) expected = top.Path() + expected->substr(5);
    EXPECT_EQ(TrashedFileOrigin(trashed), expected);
  }
}

TEST(TrashRecordTest, AFolderInPlaceOfTheRecordIsNoRecord) {
  testing::TempFolder top;
  const std::string trashed = top.Write("Trash/files/a.jpg", "picture");
  top.MakeFolder("Trash/info/a.jpg.trashinfo");
  EXPECT_EQ(TrashedFileOrigin(trashed), std::nullopt);
}

}  // namespace
}  // namespace tessimar
