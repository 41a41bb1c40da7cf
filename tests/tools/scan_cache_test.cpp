// tessimar-scan with its picture cache: a warm scan writes the very bytes of a cold one and
// of one without the cache, whatever happened to the files in between, and a cache that
// cannot be used never costs the scan.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "file_state.h"
#include "picture_fixtures.h"
#include "sql.h"
#include "run_tool.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

using testing::Lines;
using testing::RunTool;
using testing::ToolResult;

// A smooth picture with structure at several scales; each seed a different one.
testing::Image Scene(int seed) {
  return testing::MakeImage(240, 160, 3, [=](int x, int y) {
    const double u = x / 240.0, v = y / 160.0;
    auto level = [](double value) { return static_cast<std::uint8_t>(std::clamp(value, 0.0, 255.0)); };
    return std::vector<std::uint8_t>{level(128 + 100 * std::sin((3 + seed) * u) * std::cos((2 + 2 * seed) * v)),
                                     level(120 + 90 * std::sin((7 - seed) * (u + v) + seed)),
                                     level(200 * v * (1 - u) + 40 * std::cos((5 + 3 * seed) * u * v))};
  });
}

std::string Jpeg(int seed, int quality) { return testing::JpegBytes(Scene(seed), {.Quality = quality}); }

// Bytes past a JPEG's end marker are never read, so pictures can share one file size.
constexpr std::size_t CommonSize = 40000;
std::string Padded(std::string bytes) {
  bytes.resize(std::max(bytes.size(), CommonSize), '\0');
  return bytes;
}

std::int64_t CountRows(const std::string& database) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db, "SELECT count(*) FROM pictures", -1, &statement, nullptr);
  const std::int64_t rows = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : -1;
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return rows;
}

// The count in "..., N from the cache"; -1 when the summary names no cache.
int Hits(const std::string& err) {
  const std::size_t end = err.find(" from the cache");
  if (end == std::string::npos) return -1;
  return std::atoi(err.c_str() + err.rfind(", ", end) + 2);
}

// The blob in column of the cache's entry for the file name.
std::string StoredBlob(const std::string& database, const std::string& column, const std::string& name) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db, ("SELECT " + column + " FROM pictures WHERE name = ?1").c_str(), -1, &statement, nullptr);
  sqlite3_bind_blob(statement, 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
  std::string blob;
  if (sqlite3_step(statement) == SQLITE_ROW)
    blob.assign(static_cast<const char*>(sqlite3_column_blob(statement, 0)), sqlite3_column_bytes(statement, 0));
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return blob;
}

// Every scan has a deadline: a cache that kept a lookup running for ever fails the test
// instead of hanging it.
const std::string Deadline = "timeout -s KILL 60 env ";

// A query that never ends.
const std::string Endless = "WITH RECURSIVE r(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM r) SELECT i FROM r";

class ScanCacheTest : public ::testing::Test {
 protected:
  // a and b look alike; c and d are pictures of their own. All of one size, so that any
  // can take another's place without the size changing.
  void SetUp() override {
    photos.Write("a.jpg", Padded(Jpeg(1, 95)));
    photos.Write("b.jpg", Padded(Jpeg(1, 60)));
    photos.Write("c.jpg", Padded(Jpeg(2, 95)));
    photos.Write("d.jpg", Padded(Jpeg(3, 95)));
  }

  ToolResult Scan(std::vector<std::string> options) {
    options.push_back(photos.Path());
    ToolResult result = testing::RunToolAfter(Deadline, options, out);
    EXPECT_EQ(result.status, 0) << result.err;
    return result;
  }
  std::string WithCache(std::vector<std::string> options = {}) {
    options.insert(options.begin(), {"--cache", database});
    return Scan(options).out;
  }
  std::string WithoutCache(std::vector<std::string> options = {}) {
    options.insert(options.begin(), "--no-cache");
    return Scan(options).out;
  }

  // A cache of the folder, less the entry of d.jpg, which the next scan writes; then sql.
  std::string HostileCache(const std::string& name, const std::string& sql) {
    const std::string path = out / name;
    Scan({"--cache", path});
    testing::ExecuteSql(path, "DELETE FROM pictures WHERE name = CAST('d.jpg' AS BLOB); " + sql);
    return path;
  }

  testing::TempFolder out;
  testing::TempFolder photos;
  const std::string database = out / "pictures.sqlite";
};

struct Change {
  const char* name;
  std::function<void(const testing::TempFolder&)> apply;
  int hits;   // files the warm scan takes from the cache
  int files;  // files catalogued afterwards
};

void Rename(const std::string& from, const std::string& to) { ASSERT_EQ(std::rename(from.c_str(), to.c_str()), 0); }

TEST_F(ScanCacheTest, AWarmScanWritesWhatAColdOneAndOneWithoutTheCacheWrite) {
  const std::vector<Change> changes = {
      {"edited, the size changing", [](const auto& p) { p.Write("c.jpg", Jpeg(1, 50)); }, 3, 4},
      {"replaced by another file of the same size",
       [](const auto& p) {
         p.Write("new.tmp", Padded(Jpeg(1, 95)));
         Rename(p / "new.tmp", p / "c.jpg");
       },
       3, 4},
      {"rewritten in place, same size, modification time put back",
       [](const auto& p) {
         struct stat before {};
         ASSERT_EQ(::stat((p / "c.jpg").c_str(), &before), 0);
         std::ofstream(p / "c.jpg", std::ios::binary | std::ios::trunc) << Padded(Jpeg(1, 80));
         const timespec times[2] = {before.st_atim, before.st_mtim};
         ASSERT_EQ(::utimensat(AT_FDCWD, (p / "c.jpg").c_str(), times, 0), 0);
       },
       3, 4},
      {"moved to a subfolder",
       [](const auto& p) {
         p.MakeFolder("sub");
         Rename(p / "a.jpg", p / "sub/a.jpg");
       },
       3, 4},
      {"deleted", [](const auto& p) { ::unlink((p / "b.jpg").c_str()); }, 3, 3},
      {"names swapped",
       [](const auto& p) {
         Rename(p / "a.jpg", p / "t.tmp");
         Rename(p / "c.jpg", p / "a.jpg");
         Rename(p / "t.tmp", p / "c.jpg");
       },
       2, 4},
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(change.name);
    for (const auto& entry : std::filesystem::directory_iterator(photos.Path())) std::filesystem::remove_all(entry);
    std::filesystem::remove(database);
    SetUp();
    const std::string cold = WithCache();
    EXPECT_EQ(cold, WithoutCache());
    EXPECT_EQ(Hits(Scan({"--cache", database}).err), 4);

    change.apply(photos);
    const ToolResult warm = Scan({"--cache", database});
    EXPECT_EQ(Hits(warm.err), change.hits) << warm.err;
    EXPECT_NE(warm.out, cold);  // every change shows in the pairs
    EXPECT_EQ(warm.out, WithoutCache());
    EXPECT_EQ(warm.out, RunTool({"--cache", out / "fresh.sqlite", photos.Path()}, out).out);
    std::filesystem::remove(out / "fresh.sqlite");
    // Files gone from their folder leave the cache with the scan that misses them.
    EXPECT_EQ(CountRows(database), change.files);
  }
}

TEST_F(ScanCacheTest, EachSettingThatShapesAnAnalysisHasEntriesOfItsOwn) {
  const std::vector<std::vector<std::string>> settings = {
      {}, {"--identical-only"}, {"--min-width", "200"}, {"--min-height", "161"}, {"--min-width", "1000"}};
  for (const auto& options : settings) {
    SCOPED_TRACE(::testing::PrintToString(options));
    std::vector<std::string> cached = {"--cache", database};
    cached.insert(cached.end(), options.begin(), options.end());
    const ToolResult cold = Scan(cached);
    EXPECT_EQ(Hits(cold.err), 0);
    const ToolResult warm = Scan(cached);
    EXPECT_EQ(Hits(warm.err), 4);
    EXPECT_EQ(warm.out, cold.out);
    EXPECT_EQ(warm.out, WithoutCache(options));
  }
}

TEST_F(ScanCacheTest, TheCacheStaysAsLargeAsTheFoldersAcrossManyScans) {
  for (int round = 1; round <= 5; ++round) {
    SCOPED_TRACE(round);
    for (const char* name : {"a", "b", "c", "d"}) {
      const std::string old = round == 1 ? std::string(name) : name + std::to_string(round - 1);
      Rename(photos / (old + ".jpg"), photos / (name + std::to_string(round) + ".jpg"));
    }
    EXPECT_EQ(WithCache(), WithoutCache());
    EXPECT_EQ(CountRows(database), 4);
  }
}

TEST_F(ScanCacheTest, NoCacheNeitherReadsNorWritesOneAndTheUsersOwnIsTheDefault) {
  const std::string expected = WithoutCache();
  EXPECT_FALSE(std::filesystem::exists(out / "cache"));

  EXPECT_EQ(Scan({}).out, expected);
  const std::string folder = out / "cache/Tessimar";
  EXPECT_TRUE(std::filesystem::is_regular_file(folder + "/pictures.sqlite"));
  for (const std::string& made : {out / "cache", folder}) {
    struct stat status {};
    ASSERT_EQ(::stat(made.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u) << made;
  }
  EXPECT_EQ(Hits(Scan({}).err), 4);
}

struct Fault {
  const char* name;
  std::function<std::string(const testing::TempFolder&)> make;  // gives the cache's path
  bool replaced;  // a new cache takes its place at the next scan
};

TEST_F(ScanCacheTest, ACacheThatCannotBeUsedIsToldOnceAndTheScanRunsWithoutIt) {
  const std::string expected = WithoutCache();
  const std::vector<Fault> faults = {
      {"a folder",
       [](const auto& o) {
         const std::string folder = o.MakeFolder("folder.sqlite");
         return folder.substr(0, folder.size() - 1);
       },
       false},
      {"a FIFO",
       [](const auto& o) {
         ::mkfifo((o / "fifo").c_str(), 0600);
         return o / "fifo";
       },
       false},
      {"a FIFO beside it, where its log would go",
       [](const auto& o) {
         ::mkfifo((o / "beside.sqlite-wal").c_str(), 0600);
         return o / "beside.sqlite";
       },
       false},
      {"a path under a regular file", [](const auto& o) { return o.Write("file", "x") + "/pictures.sqlite"; }, false},
      {"a path in a missing folder", [](const auto& o) { return o / "missing/pictures.sqlite"; }, false},
      {"another program's database",
       [](const auto& o) {
         sqlite3* db = nullptr;
         sqlite3_open((o / "notes.sqlite").c_str(), &db);
         sqlite3_exec(db, "CREATE TABLE notes(text); INSERT INTO notes VALUES('keep')", nullptr, nullptr, nullptr);
         sqlite3_close(db);
         return o / "notes.sqlite";
       },
       false},
      {"a text file", [](const auto& o) { return o.Write("notes.txt", "not a database\n"); }, true},
      {"a file of zeros", [](const auto& o) { return o.Write("zeros.sqlite", std::string(8192, '\0')); }, true},
      // Caches of this program with more in them than it made: nothing of theirs may run.
      {"a trigger on the table, endless at each write",
       [this](const auto&) {
         return HostileCache("trigger.sqlite", "CREATE TRIGGER endless BEFORE INSERT ON pictures BEGIN "
                                               "SELECT count(*) FROM (" + Endless + "); END");
       },
       true},
      {"an endless view in the table's place, writable through a trigger",
       [this](const auto&) {
         return HostileCache("view.sqlite", "ALTER TABLE pictures RENAME TO kept; CREATE VIEW pictures AS "
                                            "SELECT kept.* FROM kept, (" + Endless + "); CREATE TRIGGER store "
                                            "INSTEAD OF INSERT ON pictures BEGIN SELECT 1; END");
       },
       true},
      {"a view beside the table",
       [this](const auto&) { return HostileCache("sizes.sqlite", "CREATE VIEW sizes AS SELECT size FROM pictures"); },
       true},
      {"an index of its own",
       [this](const auto&) { return HostileCache("index.sqlite", "CREATE INDEX by_size ON pictures(size)"); }, true},
      {"a table of its own",
       [this](const auto&) { return HostileCache("table.sqlite", "CREATE TABLE notes(text)"); }, true},
      {"the table with columns of no type",
       [this](const auto&) {
         return HostileCache("untyped.sqlite",
                             "ALTER TABLE pictures RENAME TO kept; CREATE TABLE pictures(folder, name, "
                             "min_width, min_height, identical_only, device, inode, size, modified_ns, changed_ns, "
                             "analysed, height, width, probe, positive, negative, PRIMARY KEY(folder, name, "
                             "min_width, min_height, identical_only)); INSERT INTO pictures SELECT * FROM kept; "
                             "DROP TABLE kept");
       },
       true},
  };
  for (const Fault& fault : faults) {
    SCOPED_TRACE(fault.name);
    const std::string path = fault.make(out);
    const std::string before = std::filesystem::is_regular_file(path) ? testing::ReadFileBytes(path) : std::string();

    const ToolResult first = Scan({"--cache", path});
    EXPECT_EQ(first.out, expected);
    EXPECT_EQ(Lines(first.err), 2) << first.err;
    EXPECT_NE(first.err.find("tessimar-scan: cache not used: " + path), std::string::npos) << first.err;

    const ToolResult second = Scan({"--cache", path});
    EXPECT_EQ(second.out, expected);
    if (fault.replaced) {
      EXPECT_EQ(Lines(second.err), 1) << second.err;
      EXPECT_EQ(Hits(Scan({"--cache", path}).err), 4);
      EXPECT_EQ(testing::ReadFileBytes(path + ".unusable"), before);
    } else {
      EXPECT_EQ(Lines(second.err), 2) << second.err;
      EXPECT_EQ(before.empty() ? std::string() : testing::ReadFileBytes(path), before);
    }
  }
}

// Each entry is b.jpg's, rewritten: given c.jpg's signature, b.jpg would pair with c.jpg
// instead of a.jpg.
TEST_F(ScanCacheTest, AnEntryNoAnalysisGivesIsAMissAndChangesNoPair) {
  const std::string expected = WithoutCache();
  struct Craft {
    const char* name;
    std::function<std::string(std::string)> positive;  // from c.jpg's list
    std::string change;                                // to b.jpg's entry besides
    bool trusted;
  };
  const auto same = [](std::string list) { return list; };
  const std::vector<Craft> crafts = {
      {"c.jpg's signature, as an analysis lists it", same, "", true},
      {"c.jpg's signature, out of order",
       [](std::string list) {
         std::swap(list[0], list[list.size() - 2]);
         std::swap(list[1], list[list.size() - 1]);
         return list;
       },
       "", false},
      {"an analysed flag no analysis writes", same, ", analysed = 2", false},
      {"a height beyond 32 bits", same, ", height = height + 4294967296", false},
      {"a size of text", same, ", size = size || ' bytes'", false},
  };
  for (const Craft& craft : crafts) {
    SCOPED_TRACE(craft.name);
    std::filesystem::remove(database);
    ASSERT_EQ(WithCache(), expected);
    const std::string positive = StoredBlob(database, "positive", "c.jpg");
    const std::string negative = StoredBlob(database, "negative", "c.jpg");
    ASSERT_GE(positive.size(), 4u);
    testing::ExecuteSql(database, "UPDATE pictures SET positive = ?1, negative = ?2" + craft.change + " WHERE name = ?3",
                        {craft.positive(positive), negative, "b.jpg"});

    const ToolResult warm = Scan({"--cache", database});
    EXPECT_EQ(Hits(warm.err), craft.trusted ? 4 : 3) << warm.err;
    if (craft.trusted) {
      EXPECT_NE(warm.out, expected);
    } else {
      EXPECT_EQ(warm.out, expected);
      EXPECT_EQ(WithCache(), expected);  // the entry written again from the file itself
    }
  }
}

TEST_F(ScanCacheTest, ADamagedCacheNeverChangesTheResults) {
  const std::string expected = WithoutCache();
  for (const std::size_t length : {std::size_t{50}, std::size_t{4096}, std::size_t{6000}, std::size_t{20000}}) {
    SCOPED_TRACE(length);
    std::filesystem::remove(database);
    WithCache();
    ASSERT_EQ(::truncate(database.c_str(), static_cast<off_t>(length)), 0);
    EXPECT_EQ(WithCache(), expected);
    EXPECT_EQ(WithCache(), expected);
    const ToolResult last = Scan({"--cache", database});
    EXPECT_EQ(last.out, expected);
    EXPECT_EQ(Lines(last.err), 1) << last.err;
  }
}

TEST_F(ScanCacheTest, TwoScansAtOnceBothFinishWithTheSameResults) {
  for (int i = 0; i < 30; ++i) photos.Write("more/" + std::to_string(i) + ".jpg", Jpeg(4 + i % 10, 60 + i));
  const std::string expected = WithoutCache();
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    const std::string command = "(" +
                                testing::ToolCommand({"--cache", database, "-o", out / "1.csv", photos.Path()}, out,
                                                     out / "1.err") +
                                " & " +
                                testing::ToolCommand({"--cache", database, "-o", out / "2.csv", photos.Path()}, out,
                                                     out / "2.err") +
                                " & wait)";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(testing::ReadFileBytes(out / "1.csv"), expected) << testing::ReadFileBytes(out / "1.err");
    EXPECT_EQ(testing::ReadFileBytes(out / "2.csv"), expected) << testing::ReadFileBytes(out / "2.err");
  }
  EXPECT_EQ(Hits(Scan({"--cache", database}).err), 34);
}

TEST_F(ScanCacheTest, AKilledScanLeavesAUsableCache) {
  for (int i = 0; i < 60; ++i) photos.Write("more/" + std::to_string(i) + ".jpg", Jpeg(4 + i % 10, 40 + i));
  const std::string expected = WithoutCache();
  const std::string command =
      "timeout -s KILL 0.3 env " + testing::ToolCommand({"--cache", database, photos.Path()}, out, out / "killed.err") +
      " >/dev/null";
  std::system(command.c_str());
  const ToolResult after = Scan({"--cache", database});
  EXPECT_EQ(after.out, expected);
  EXPECT_EQ(Lines(after.err), 1) << after.err;
  EXPECT_EQ(Hits(Scan({"--cache", database}).err), 64);
}

}  // namespace
}  // namespace tessimar
