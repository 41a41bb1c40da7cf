#include "cache/sqlite_picture_cache.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>

#include "sql.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

PictureAnalysis Analysed() {
  PictureAnalysis analysis;
  analysis.Analysed = true;
  analysis.Height = 3000;
  analysis.Width = 2000;
  for (std::size_t i = 0; i < analysis.PreBuffer.size(); ++i) analysis.PreBuffer[i] = static_cast<std::uint8_t>(i * 7);
  analysis.WaveletCoefsPos[0] = {0, 1};
  analysis.WaveletCoefsPos[1] = {127, 127};
  analysis.WaveletCoefsNeg[0] = {1, 0};
  return analysis;
}

const FileStamp Stamp{64769, 1234567, 40000, 1'700'000'000'123'456'789, 1'700'000'100'987'654'321};
const AnalysisKey Key{100, 100, false};

class PictureCacheTest : public ::testing::Test {
 protected:
  std::unique_ptr<SqlitePictureCache> Open() { return std::make_unique<SqlitePictureCache>(database); }

  testing::TempFolder temp;
  const std::string database = temp / "pictures.sqlite";
};

TEST_F(PictureCacheTest, RemembersAnalysesAndPassedOverFilesAcrossOpenings) {
  {
    auto cache = Open();
    cache->Store("/p/a.jpg", Stamp, Key, Analysed());
    cache->Store("/p/broken.jpg", Stamp, Key, PictureAnalysis{});
    cache->Store("/p/\xff\xfe.jpg", Stamp, Key, Analysed());  // not UTF-8
  }
  auto cache = Open();
  EXPECT_EQ(cache->Find("/p/a.jpg", Stamp, Key), Analysed());
  EXPECT_EQ(cache->Find("/p/broken.jpg", Stamp, Key), PictureAnalysis{});
  EXPECT_EQ(cache->Find("/p/\xff\xfe.jpg", Stamp, Key), Analysed());
  EXPECT_FALSE(cache->Find("/p/other.jpg", Stamp, Key));
  EXPECT_EQ(cache->Hits(), 3);
}

TEST_F(PictureCacheTest, AnyOtherStampOrSettingIsAMiss) {
  Open()->Store("/p/a.jpg", Stamp, Key, Analysed());
  struct Case {
    const char* name;
    std::function<void(FileStamp&, AnalysisKey&)> change;
  };
  const std::vector<Case> cases = {
      {"device", [](FileStamp& s, AnalysisKey&) { ++s.Device; }},
      {"inode", [](FileStamp& s, AnalysisKey&) { ++s.Inode; }},
      {"size", [](FileStamp& s, AnalysisKey&) { --s.Size; }},
      {"modification time", [](FileStamp& s, AnalysisKey&) { ++s.ModifiedNs; }},
      {"status-change time", [](FileStamp& s, AnalysisKey&) { ++s.ChangedNs; }},
      {"minimum width", [](FileStamp&, AnalysisKey& k) { k.MinPicWidth = 101; }},
      {"minimum height", [](FileStamp&, AnalysisKey& k) { k.MinPicHeight = 0; }},
      {"identical files only", [](FileStamp&, AnalysisKey& k) { k.SearchOnlyIdentical = true; }},
  };
  auto cache = Open();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FileStamp stamp = Stamp;
    AnalysisKey key = Key;
    c.change(stamp, key);
    EXPECT_FALSE(cache->Find("/p/a.jpg", stamp, key));
  }
  EXPECT_TRUE(cache->Find("/p/a.jpg", Stamp, Key));
}

TEST_F(PictureCacheTest, ACacheOfAnotherAnalysisVersionIsEmptied) {
  Open()->Store("/p/a.jpg", Stamp, Key, Analysed());
  testing::ExecuteSql(database, "PRAGMA user_version = " + std::to_string(AnalysisVersion + 1));
  EXPECT_FALSE(Open()->Find("/p/a.jpg", Stamp, Key));
  Open()->Store("/p/a.jpg", Stamp, Key, Analysed());
  EXPECT_TRUE(Open()->Find("/p/a.jpg", Stamp, Key));
}

// A signature list blob, as SQL, holding the positions of row r, columns 1 to count.
std::string RowBlob(int r, int count) {
  std::string sql = "x'";
  for (int c = 1; c <= count; ++c) {
    char position[5];
    std::snprintf(position, sizeof position, "%02x%02x", r, c);
    sql += position;
  }
  return sql + "'";
}

TEST_F(PictureCacheTest, EntriesNoAnalysisGivesAreNotTrusted) {
  struct Damage {
    std::string change;  // to the entry of Analysed() under the key
    AnalysisKey key = Key;
  };
  const AnalysisKey anySize{0, 0, false};
  const AnalysisKey identicalOnly{100, 100, true};
  const std::vector<Damage> damages = {
      // blobs
      {"probe = x'00'"},                 // too short
      {"probe = zeroblob(257)"},         // too long
      {"positive = x'8000'"},            // row 128 is off the array
      {"negative = x'0000'"},            // (0, 0) is never kept
      {"positive = x'000102'"},          // odd length
      {"positive = zeroblob(502)"},      // more than 250 positions
      {"positive = x'7f7f0001'"},        // not in row-major order
      {"positive = x'00010001'"},        // a position twice
      {"negative = x'0001'"},            // a position of both signs
      {"positive = " + RowBlob(1, 125) + ", negative = " + RowBlob(2, 126)},  // 251 in all
      {"positive = x'0001'", identicalOnly},  // a signature where none is made
      // the analysed flag and the sizes
      {"analysed = 2"},
      {"analysed = -1"},
      {"analysed = 0"},                  // passed over, yet with a probe and a signature
      {"analysed = 0, probe = x'', positive = x'', negative = x''"},  // yet with a size
      {"height = 99"},                   // below the minimum it was analysed under
      {"width = 4, height = 4", anySize},  // below the least side any analysis takes
      {"width = -2000"},
      {"height = 4294970296"},           // 3000 once cut to 32 bits
      // values of other types than written
      {"analysed = 'yes'"},
      {"height = 3000.5"},
      {"probe = CAST(probe AS TEXT)"},
      {"positive = CAST(positive AS TEXT)"},
      {"size = '40000 bytes'"},
  };
  for (const Damage& damage : damages) {
    SCOPED_TRACE(damage.change.substr(0, 60));
    std::filesystem::remove(database);
    PictureAnalysis stored = Analysed();
    if (damage.key.SearchOnlyIdentical) stored.WaveletCoefsPos = stored.WaveletCoefsNeg = {};
    Open()->Store("/p/a.jpg", Stamp, damage.key, stored);
    ASSERT_EQ(Open()->Find("/p/a.jpg", Stamp, damage.key), stored);
    testing::ExecuteSql(database, "UPDATE pictures SET " + damage.change);
    EXPECT_FALSE(Open()->Find("/p/a.jpg", Stamp, damage.key));
  }
}

TEST_F(PictureCacheTest, WritesInBatchesThatAnotherProgramSeesBeforeTheCacheCloses) {
  auto writer = Open();
  constexpr int Stored = 450;
  for (int i = 0; i < Stored; ++i) writer->Store("/p/" + std::to_string(i) + ".jpg", Stamp, Key, Analysed());
  auto reader = Open();
  EXPECT_TRUE(reader->Find("/p/0.jpg", Stamp, Key));
  EXPECT_TRUE(reader->Find("/p/399.jpg", Stamp, Key));
  EXPECT_FALSE(reader->Find("/p/449.jpg", Stamp, Key));
  writer->Flush();
  EXPECT_TRUE(reader->Find("/p/449.jpg", Stamp, Key));
}

TEST_F(PictureCacheTest, PruneForgetsTheFilesOfTheFolderThatTheWalkDidNotFind) {
  const std::vector<std::string> paths = {"/p/a.jpg", "/p/b.jpg", "/p/sub/c.jpg", "/p/sub/deeper/d.jpg",
                                          "/p0/e.jpg", "/p./f.jpg", "/q/g.jpg"};
  struct Case {
    bool subfolders;
    std::vector<std::string> left;
  };
  const std::vector<Case> cases = {
      {false, {"/p/a.jpg", "/p/sub/c.jpg", "/p/sub/deeper/d.jpg", "/p0/e.jpg", "/p./f.jpg", "/q/g.jpg"}},
      {true, {"/p/a.jpg", "/p/sub/deeper/d.jpg", "/p0/e.jpg", "/p./f.jpg", "/q/g.jpg"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.subfolders);
    std::filesystem::remove(database);
    auto cache = Open();
    for (const std::string& path : paths) cache->Store(path, Stamp, Key, Analysed());
    cache->Store("/p/b.jpg", Stamp, {1, 1, true}, Analysed());
    cache->Prune("/p/", c.subfolders, {"/p/a.jpg", "/p/sub/deeper/d.jpg"});
    std::vector<std::string> left;
    for (const std::string& path : paths)
      if (cache->Find(path, Stamp, Key)) left.push_back(path);
    EXPECT_EQ(left, c.left);
    EXPECT_FALSE(cache->Find("/p/b.jpg", Stamp, {1, 1, true}));
  }
}

}  // namespace
}  // namespace tessimar
