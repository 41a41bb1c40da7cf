#include "scan_options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "settings/picture_types.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

TEST(ScanOptionsTest, TypesSwitchesAndFolders) {
  const ScanOptions options = ParseScanOptions({"--types", "png,cr2", "--no-subfolders", "a", "--list", "--", "-b"});
  const TSettings& s = options.Stored.Settings;
  EXPECT_TRUE(s.SearchPNG && s.SearchCR2);
  EXPECT_FALSE(s.SearchJPG || s.SearchBMP || s.SearchGIF || s.SearchTIFF);
  EXPECT_FALSE(options.Stored.ScanSubfolders);
  EXPECT_TRUE(options.List);
  EXPECT_EQ(options.Folders, (std::vector<std::string>{"a", "-b"}));
}

TEST(ScanOptionsTest, TypesTurnOnTheNamedTypesAndOffAllOthers) {
  struct Case {
    const char* list;
    std::vector<bool TSettings::*> on;
  };
  const Case cases[] = {
      {"png,cr2", {&TSettings::SearchPNG, &TSettings::SearchCR2}},
      {"heic,avif,webp", {&TSettings::SearchHEIC, &TSettings::SearchAVIF, &TSettings::SearchWEBP}},
      {"webp,jpg,webp", {&TSettings::SearchWEBP, &TSettings::SearchJPG}},
      {"bmp,jpg,gif,png,tif,cr2,heic,avif,webp",
       {&TSettings::SearchBMP, &TSettings::SearchJPG, &TSettings::SearchGIF, &TSettings::SearchPNG,
        &TSettings::SearchTIFF, &TSettings::SearchCR2, &TSettings::SearchHEIC, &TSettings::SearchAVIF,
        &TSettings::SearchWEBP}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.list);
    const TSettings s = ParseScanOptions({"--types", c.list, "a"}).Stored.Settings;
    for (const PictureType& type : PictureTypes) {
      SCOPED_TRACE(type.Name);
      EXPECT_EQ(s.*type.Search, std::ranges::find(c.on, type.Search) != c.on.end());
    }
  }
}

TEST(ScanOptionsTest, SettingsFileThenTypesOnTop) {
  testing::TempFolder temp;
  const std::string ini = temp.Write("t.ini", "[Main]\nSearchTIFF=1\nScanSubfolders=0\nMinPicWidth=7\n");
  const ScanOptions fromFile = ParseScanOptions({"--settings", ini, "x"});
  EXPECT_TRUE(fromFile.Stored.Settings.SearchTIFF);
  EXPECT_FALSE(fromFile.Stored.ScanSubfolders);
  EXPECT_EQ(fromFile.Stored.Settings.MinPicWidth, 7);
  const ScanOptions overridden = ParseScanOptions({"--types", "gif", "--settings", ini, "x"});
  EXPECT_FALSE(overridden.Stored.Settings.SearchTIFF);
  EXPECT_TRUE(overridden.Stored.Settings.SearchGIF);
}

TEST(ScanOptionsTest, CacheFileOrNoCache) {
  EXPECT_EQ(ParseScanOptions({"a"}).CacheFile, "");
  EXPECT_FALSE(ParseScanOptions({"a"}).NoCache);
  EXPECT_EQ(ParseScanOptions({"--cache", "c.sqlite", "a"}).CacheFile, "c.sqlite");
  EXPECT_TRUE(ParseScanOptions({"--no-cache", "a"}).NoCache);
}

TEST(ScanOptionsTest, JobsDefaultToOnePerCore) {
  EXPECT_EQ(ParseScanOptions({"a"}, 3).Jobs, 3);
  EXPECT_EQ(ParseScanOptions({"a"}).Jobs, DefaultJobs());
  EXPECT_GE(DefaultJobs(), 1);
  EXPECT_EQ(ParseScanOptions({"--jobs", "0", "a"}, 3).Jobs, 0);
  EXPECT_EQ(ParseScanOptions({"--jobs", "4", "a"}).Jobs, 4);
  EXPECT_EQ(ParseScanOptions({"--jobs", "1024", "a"}).Jobs, 1024);
}

TEST(ScanOptionsTest, PlanRuleSimilarityProtectedFoldersAndSeparator) {
  testing::TempFolder temp;
  const std::string keep = temp.MakeFolder("keep"), also = temp.MakeFolder("also");
  const std::string here = std::filesystem::current_path().string() + "/";
  struct Case {
    std::vector<std::string> arguments;
    BatchRule rule;
    bool nulAfterPath;
  };
  const Case cases[] = {
      {{"--plan", "lesser", "a"}, {BatchChoice::Lesser, 100, {}}, false},
      {{"--plan", "second", "--min-similarity", "1", "a"}, {BatchChoice::Second, 1, {}}, false},
      {{"-0", "--min-similarity", "95", "--plan", "first", "a"}, {BatchChoice::First, 95, {}}, true},
      {{"--protect", temp / "keep", "--plan", "first", "--protect", temp / "also/../keep/./", "--protect", also, "a"},
       {BatchChoice::First, 100, {keep, keep, also}},
       false},
      {{"--plan", "first", "--protect", ".", "a"}, {BatchChoice::First, 100, {here}}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    const ScanOptions options = ParseScanOptions(c.arguments);
    ASSERT_TRUE(options.Plan);
    EXPECT_EQ(options.Plan->Choice, c.rule.Choice);
    EXPECT_EQ(options.Plan->MinSimilarity, c.rule.MinSimilarity);
    EXPECT_EQ(options.Plan->ProtectedFolders, c.rule.ProtectedFolders);
    EXPECT_EQ(options.NulAfterPath, c.nulAfterPath);
  }
  EXPECT_FALSE(ParseScanOptions({"a"}).Plan);
}

TEST(ScanOptionsTest, BadPlanCommandLines) {
  testing::TempFolder temp;
  const std::string keep = temp.MakeFolder("keep");
  const std::string file = temp.Write("file.jpg", "1");
  const std::vector<std::vector<std::string>> cases = {
      {"--plan"}, {"--plan", "smaller", "a"}, {"--plan", "Lesser", "a"}, {"--plan", "", "a"},
      {"--min-similarity", "90", "a"}, {"-0", "a"}, {"--protect", keep, "a"},
      {"--plan", "first", "--min-similarity", "0", "a"}, {"--plan", "first", "--min-similarity", "101", "a"},
      {"--plan", "first", "--min-similarity", "90.5", "a"}, {"--plan", "first", "--min-similarity", "+90", "a"},
      {"--plan", "first", "--min-similarity", "0x50", "a"}, {"--plan", "first", "--min-similarity", "", "a"},
      {"--plan", "first", "--min-similarity"}, {"--plan", "first", "--protect"},
      {"--plan", "first", "--protect", "", "a"}, {"--plan", "first", "--protect", temp / "kee", "a"},
      {"--plan", "first", "--protect", file, "a"}, {"--plan", "first", "--list", "a"},
      {"--plan", "first", "--signature", "a"},
  };
  for (const auto& arguments : cases) {
    SCOPED_TRACE(::testing::PrintToString(arguments));
    EXPECT_THROW(ParseScanOptions(arguments), UsageError);
  }
}

TEST(ScanOptionsTest, BadCommandLines) {
  const std::vector<std::vector<std::string>> cases = {
      {"--bogus"}, {"--types"}, {"--types", "jpg,jxl"}, {"--settings", "/no/such.ini"}, {"-x", "a"},
      {"--cache"}, {"--cache", "", "a"}, {"--jobs"}, {"--jobs", "-1", "a"}, {"--jobs", "two", "a"},
      {"--jobs", "", "a"}, {"--jobs", "0x2", "a"}, {"--jobs", "1025", "a"},
  };
  for (const auto& arguments : cases) {
    SCOPED_TRACE(arguments[0]);
    EXPECT_THROW(ParseScanOptions(arguments), UsageError);
  }
}

}  // namespace
}  // namespace tessimar
