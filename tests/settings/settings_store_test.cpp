#include "settings/settings_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "file_state.h"
#include "settings/picture_types.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

TEST(ReadIntegerValueTest, Rules) {
  struct Case {
    const char* text;
    std::optional<std::int32_t> value;
  };
  const Case cases[] = {
      {"250", 250},          {"-7", -7},        {"+5", 5},       {"0x40", 64},           {"0X40", 64},
      {"$40", 64},           {"$ff", 255},      {"-$10", -16},   {"$FFFFFFFF", -1},      {"2147483647", 2147483647},
      {"2147483648", {}},    {"yes", {}},       {"", {}},        {"12a", {}},            {"0x", {}},
      {"--1", {}},           {"1.5", {}},       {"$1FFFFFFFF", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ReadIntegerValue(c.text), c.value);
  }
}

TEST(SettingsStoreTest, MissingFileGivesDefaultsAndCreatesNothing) {
  testing::TempFolder temp;
  const std::string path = temp / "Tessimar.ini";
  const StoredSettings stored = LoadSettings(path);
  const TSettings& s = stored.Settings;
  EXPECT_TRUE(s.SearchJPG && s.SearchBMP && s.SearchGIF && s.SearchPNG);
  EXPECT_TRUE(s.SearchHEIC && s.SearchAVIF && s.SearchWEBP);
  EXPECT_FALSE(s.SearchTIFF || s.SearchCR2);
  EXPECT_TRUE(s.SearchSimilar && s.MoveToRecycle);
  EXPECT_FALSE(s.DeleteWithoutAsking || s.SearchOnlyIdentical || s.AutoCheckUpdates);
  EXPECT_TRUE(stored.ScanSubfolders);
  EXPECT_EQ(s.MinPicWidth, 100);
  EXPECT_EQ(s.MinPicHeight, 100);
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(SettingsStoreTest, AnythingButAFileAtThePathGivesDefaultsWithoutWaiting) {
  testing::TempFolder temp;
  const std::string fifo = temp / "fifo.ini";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {temp.MakeFolder("folder.ini"), fifo}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(LoadSettings(path).Settings.MinPicWidth, 100);
  }
}

TEST(SettingsStoreTest, ValuesAsTheFileGivesThem) {
  testing::TempFolder temp;
  const std::string path = temp.Write("Tessimar.ini",
                                      "[Main]\nMinPicWidth=250\nMinPicHeight=-7\nSearchTIFF=yes\nSearchCR2=2\n"
                                      "SearchJPG=0\nScanSubfolders=0\nSearchSimilar=0\n[Other]\nMinPicHeight=5\n");
  const StoredSettings stored = LoadSettings(path);
  EXPECT_EQ(stored.Settings.MinPicWidth, 250);
  EXPECT_EQ(stored.Settings.MinPicHeight, 0);
  EXPECT_FALSE(stored.Settings.SearchTIFF);
  EXPECT_TRUE(stored.Settings.SearchCR2);
  EXPECT_FALSE(stored.Settings.SearchJPG);
  EXPECT_TRUE(stored.Settings.SearchBMP);
  EXPECT_FALSE(stored.ScanSubfolders);
  EXPECT_FALSE(stored.Settings.SearchSimilar);
}

// Each type's key reaches its own field and no other; a file written before a type existed
// (no key for it) leaves that type at its default.
TEST(SettingsStoreTest, EachTypeKeySetsItsOwnTypeOnly) {
  testing::TempFolder temp;
  const TSettings defaults;
  struct Case {
    std::string name;
    std::string lines;
    std::string_view changedKey;
    bool value;
  };
  std::vector<Case> cases = {
      {"older file", "SearchJPG=1\nSearchBMP=1\nSearchGIF=1\nSearchPNG=1\nSearchTIFF=0\nSearchCR2=0\n", "", false}};
  for (const PictureType& type : PictureTypes) {
    for (const char* value : {"0", "1"}) {
      const std::string key(type.SettingsKey);
      cases.push_back({key + "=" + value, key + "=" + value + "\n", type.SettingsKey, *value == '1'});
    }
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TSettings read = LoadSettings(temp.Write("Tessimar.ini", "[Main]\n" + c.lines)).Settings;
    for (const PictureType& type : PictureTypes) {
      SCOPED_TRACE(type.SettingsKey);
      EXPECT_EQ(read.*type.Search, type.SettingsKey == c.changedKey ? c.value : defaults.*type.Search);
    }
  }
}

TEST(SettingsStoreTest, AFreshFileHoldsTheKeysInOrder) {
  testing::TempFolder temp;
  const std::string path = temp / "Tessimar.ini";
  StoredSettings stored;
  stored.Settings.MinPicHeight = 64;
  stored.ScanSubfolders = false;
  SaveSettings(path, stored);
  EXPECT_EQ(testing::ReadFileBytes(path),
            "[Main]\nSearchJPG=1\nSearchBMP=1\nSearchGIF=1\nSearchPNG=1\nSearchTIFF=0\nSearchCR2=0\n"
            "SearchHEIC=1\nSearchAVIF=1\nSearchWEBP=1\nSearchSimilar=1\nMoveToRecycle=1\nDeleteWithoutAsking=0\nSearchOnlyIdentical=0\n"
            "AutoCheckUpdates=0\nScanSubfolders=0\nMinPicWidth=100\nMinPicHeight=64\n");
  const StoredSettings again = LoadSettings(path);
  EXPECT_EQ(again.Settings.MinPicHeight, 64);
  EXPECT_FALSE(again.ScanSubfolders);
}

TEST(SettingsStoreTest, SavingKeepsOtherSectionsKeysAndTheFileMode) {
  testing::TempFolder temp;
  const std::string path = temp.Write("Tessimar.ini", "[Window]\r\nLeft=10\r\n[Main]\r\nSearchSimilar=0\r\nExtra=x\r\n");
  ::chmod(path.c_str(), 0600);
  SaveSettings(path, LoadSettings(path));
  const std::string text = testing::ReadFileBytes(path);
  EXPECT_TRUE(text.starts_with("[Window]\r\nLeft=10\r\n[Main]\r\nSearchSimilar=0\r\nExtra=x\r\nSearchJPG=1\r\n"));
  EXPECT_TRUE(text.ends_with("MinPicHeight=100\r\n"));
  EXPECT_EQ(testing::ModeOf(path), 0600u);
}

TEST(SettingsStoreTest, AFailedWriteNamesTheFileAndLeavesTheOldOne) {
  testing::TempFolder temp;
  struct Case {
    const char* name;
    std::string path;
  };
  temp.MakeFolder("a-folder.ini");
  const Case cases[] = {
      {"missing folder", temp / "missing/Tessimar.ini"},
      {"folder in the file's place", temp / "a-folder.ini"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      SaveSettings(c.path, StoredSettings{});
      FAIL() << "no error";
    } catch (const std::runtime_error& error) {
      EXPECT_EQ(std::string(error.what()), "Unable to write to " + c.path);
    }
  }
  EXPECT_TRUE(std::filesystem::is_directory(temp / "a-folder.ini"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.Path()), {}), 1);  // no temporary left
}

// The window saves the folders when the user changes them and the options when it closes:
// each save keeps what the other wrote, and fewer folders leave no stale keys behind.
TEST(ProtectedFoldersTest, SavedBesideTheOptionsAndKeptByEachSave) {
  testing::TempFolder temp;
  const std::string path = temp / "Tessimar.ini";
  StoredSettings stored;
  stored.Settings.MinPicWidth = 64;
  SaveSettings(path, stored);
  const std::string options = testing::ReadFileBytes(path);
  SaveProtectedFolders(path, {"/home/u/Master", "/mnt/a=b/ c /", "/"});
  const std::string withFolders =
      options + "\n[ProtectedFolders]\nCount=3\nFolder1=/home/u/Master/\nFolder2=/mnt/a=b/ c /\nFolder3=/\n";
  EXPECT_EQ(testing::ReadFileBytes(path), withFolders);
  EXPECT_EQ(LoadProtectedFolders(path), (std::vector<std::string>{"/home/u/Master/", "/mnt/a=b/ c /", "/"}));

  SaveSettings(path, LoadSettings(path));
  EXPECT_EQ(testing::ReadFileBytes(path), withFolders);

  SaveProtectedFolders(path, {"/x/"});
  EXPECT_EQ(testing::ReadFileBytes(path), options + "\n[ProtectedFolders]\nCount=1\nFolder1=/x/\n");
  EXPECT_EQ(LoadSettings(path).Settings.MinPicWidth, 64);
  SaveProtectedFolders(path, {});
  EXPECT_EQ(testing::ReadFileBytes(path), options + "\n[ProtectedFolders]\nCount=0\n");
  EXPECT_TRUE(LoadProtectedFolders(path).empty());
}

TEST(ProtectedFoldersTest, ReadAsTheFileGivesThem) {
  struct Case {
    const char* name;
    const char* text;
    std::vector<std::string> folders;
  };
  const Case cases[] = {
      {"no section", "[Main]\nMinPicWidth=5\n", {}},
      {"no count", "[ProtectedFolders]\nFolder1=/a/\n", {}},
      {"count not a number", "[ProtectedFolders]\nCount=two\nFolder1=/a/\n", {}},
      {"negative count", "[ProtectedFolders]\nCount=-1\nFolder1=/a/\n", {}},
      {"slash added, case of names ignored", "[protectedfolders]\ncount=2\nfolder2=/b\nFOLDER1=/a/\n", {"/a/", "/b/"}},
      {"stops at a missing key", "[ProtectedFolders]\nCount=3\nFolder1=/a/\nFolder3=/c/\n", {"/a/"}},
      {"keys beyond the count", "[ProtectedFolders]\nCount=1\nFolder1=/a/\nFolder2=/b/\n", {"/a/"}},
      {"an empty key protects nothing", "[ProtectedFolders]\nCount=2\nFolder1=\nFolder2=/b/\n", {"/b/"}},
      {"a huge count", "[ProtectedFolders]\nCount=2147483647\nFolder1=/a/\n", {"/a/"}},
  };
  testing::TempFolder temp;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(LoadProtectedFolders(temp.Write("Tessimar.ini", c.text)), c.folders);
  }
  EXPECT_TRUE(LoadProtectedFolders(temp / "missing.ini").empty());
}

// A line break would end the key's line and start a line of its own, another key.
TEST(ProtectedFoldersTest, AFolderNoLineCanHoldChangesNothing) {
  testing::TempFolder temp;
  const std::string before = "[ProtectedFolders]\nCount=1\nFolder1=/a/\n";
  const std::string path = temp.Write("Tessimar.ini", before);
  for (const char* bad : {"/x\n[Main]\nMinPicWidth=1/", "/x\r/", "relative/", ""}) {
    SCOPED_TRACE(bad);
    EXPECT_THROW(SaveProtectedFolders(path, {"/ok/", bad}), std::invalid_argument);
    EXPECT_EQ(testing::ReadFileBytes(path), before);
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.Path()), {}), 1);  // no temporary left
}

}  // namespace
}  // namespace tessimar
