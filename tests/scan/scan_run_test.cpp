#include "scan/scan_run.h"

#include <algorithm>
#include <functional>
#include <sstream>
#include <unordered_set>

#include "picture_fixtures.h"
#include "review/csv_export.h"
#include "scan/listed_folders.h"
#include "scan/scan_texts.h"
#include "stale_heap.h"
#include "walk_fixture.h"

namespace tessimar {
namespace {

TEST(IsCoveredFolderTest, PrefixTestOnExactTexts) {
  struct Case {
    std::vector<std::string> folders;
    std::vector<bool> covered;
  };
  const Case cases[] = {
      {{"/b/a/", "/a/"}, {false, false}},
      {{"/a/", "/a/x/"}, {false, true}},
      {{"/a/x/", "/a/"}, {true, false}},
      {{"/a/", "/a/"}, {false, true}},
      {{"/Photos/", "/photos/"}, {false, false}},
      {{"/Photos/", "/Photos2/"}, {false, false}},
      {{"/", "/a/", "/a/b/"}, {false, true, true}},
  };
  for (const Case& c : cases) {
    for (std::size_t j = 0; j < c.folders.size(); ++j) {
      SCOPED_TRACE(c.folders[0] + " " + c.folders[1] + " at " + std::to_string(j));
      EXPECT_EQ(IsCoveredFolder(c.folders, j), c.covered[j]);
    }
  }
}

class ScanRunTest : public WalkFixture {
 protected:
  ScanRun& Run(const std::vector<std::string>& relativeFolders, const std::string& separator = ",") {
    std::vector<std::string> folders;
    for (const auto& folder : relativeFolders) folders.push_back(temp / folder);
    run = std::make_unique<ScanRun>(catalogue, settings, host, trash, separator, cache);
    if (run->CheckPreconditions(folders, false)) run->Run(folders);
    return *run;
  }
  std::string Last(Caption caption) { return host.Captions[caption].empty() ? "" : host.Captions[caption].back(); }

  std::unique_ptr<ScanRun> run;
  PictureCache* cache = nullptr;
};

// Records what the scan asks of it and finds nothing.
class RecordingCache : public PictureCache {
 public:
  std::optional<PictureAnalysis> Find(const std::string&, const FileStamp&, const AnalysisKey&) override {
    return std::nullopt;
  }
  void Store(const std::string& path, const FileStamp&, const AnalysisKey&, const PictureAnalysis&) override {
    Stored.push_back(path);
  }
  void Prune(const std::string& folder, bool subfolders, const std::unordered_set<std::string>& kept) override {
    std::vector<std::string> names(kept.begin(), kept.end());
    std::sort(names.begin(), names.end());
    Pruned.push_back({folder, subfolders, names});
  }
  void Flush() override { ++Flushes; }

  struct Pruning {
    std::string Folder;
    bool Subfolders;
    std::vector<std::string> Kept;
    friend bool operator==(const Pruning&, const Pruning&) = default;
  };
  std::vector<std::string> Stored;
  std::vector<Pruning> Pruned;
  int Flushes = 0;
};

TEST_F(ScanRunTest, RefusesWithoutFoldersOrTypes) {
  ScanRun scan(catalogue, settings, host, trash, ",");
  EXPECT_FALSE(scan.CheckPreconditions({}, false));
  EXPECT_FALSE(scan.CheckPreconditions({"/placeholder/"}, true));
  settings.SearchJPG = settings.SearchBMP = settings.SearchGIF = settings.SearchPNG = false;
  settings.SearchHEIC = settings.SearchAVIF = settings.SearchWEBP = false;
  EXPECT_FALSE(scan.CheckPreconditions({"/photos/"}, false));
  settings.SearchCR2 = true;
  EXPECT_TRUE(scan.CheckPreconditions({"/photos/"}, false));
  EXPECT_EQ(host.Errors, (std::vector<std::string>{std::string(NoFoldersMessage), std::string(NoFoldersMessage),
                                                   std::string(NoTypesMessage)}));
  EXPECT_TRUE(scan.ScanStopped);
}

TEST_F(ScanRunTest, CoveredListedFoldersAreNotWalkedAgain) {
  temp.Write("a/top.jpg", "1");
  temp.Write("a/x/below.jpg", "1");
  temp.Write("b/a/other.jpg", "1");
  host.Subfolders = false;
  Run({"a/x/", "a/", "b/a/", "a/", "a"});
  EXPECT_EQ(Listed(), (std::vector<std::string>{"a/top.jpg", "b/a/other.jpg"}));
}

TEST_F(ScanRunTest, AListedLinkToAnotherListedFolderAddsNothing) {
  temp.Write("photos/p.jpg", "1");
  temp.Write("photos/sub/q.jpg", "1");
  Link(temp / "photos", "alias");
  Link(temp / "photos/sub", "sub-alias");
  Run({"photos/", "alias/", "sub-alias/"});
  EXPECT_EQ(Listed(), (std::vector<std::string>{"photos/p.jpg", "photos/sub/q.jpg"}));
}

TEST_F(ScanRunTest, MissingListedFoldersArePassedOver) {
  temp.Write("here/p.png", "1");
  const ScanRun& scan = Run({"gone/", "here/", "also-gone/"});
  EXPECT_FALSE(scan.ScanStopped);
  EXPECT_EQ(Listed(), (std::vector<std::string>{"here/p.png"}));
}

TEST_F(ScanRunTest, AScanFindingNothingEndsWithEmptyLists) {
  Run({"gone/"});
  EXPECT_EQ(catalogue.LastPicIndex, -1);
  EXPECT_EQ(catalogue.LastPathIndex, -1);
  EXPECT_TRUE(catalogue.PicList.empty());
  EXPECT_EQ(catalogue.LastPairIndex, -1);
  EXPECT_EQ(catalogue.PairListCapacity, 0);
  EXPECT_EQ(Last(Caption::ScannedCount), std::string(ScannedCountPrefix) + "0");
  EXPECT_EQ(Last(Caption::DuplicatesFound), std::string(DuplicatesFoundPrefix) + "0");
}

// Damaged copies of raws, as an interrupted copy or a failing card leaves them, pair the same
// on every scan, whatever the memory held before it. The first picture the scan decodes is one
// whose data covers two thirds of it; the rest develops as the same file coding zeros there.
TEST_F(ScanRunTest, DamagedRawsPairTheSameOnEveryScan) {
  constexpr int Width = 160, Height = 120, Covered = Height * 2 / 3;
  const testing::RawSensor sensor = testing::StructuredSensor(Width, Height);
  testing::RawSensor zeroed = sensor;
  std::fill(zeroed.Samples.begin() + Covered * Width, zeroed.Samples.end(), 0);
  const std::string raw = testing::DngBytes(sensor, Height);
  const std::size_t strip = raw.find("\xFF\xD8");  // the lossless JPEG, which ends the file
  ASSERT_NE(strip, std::string::npos);
  temp.Write("raws/a partial.cr2", testing::DngBytes(sensor, Covered));
  temp.Write("raws/b zeros below.cr2", testing::DngBytes(zeroed, Height));
  temp.Write("raws/c intact.cr2", raw);
  temp.Write("raws/d copy.cr2", raw);
  temp.Write("raws/e moved.cr2", testing::DngBytes(testing::StructuredSensor(Width, Height, 4), Height));
  for (const int rows : {Height / 3, Height / 2, Height * 5 / 6})
    temp.Write("raws/f rows " + std::to_string(rows) + ".cr2", testing::DngBytes(sensor, rows));
  for (const int eighths : {2, 5, 7})
    temp.Write("raws/g cut " + std::to_string(eighths) + ".cr2",
               raw.substr(0, strip + (raw.size() - strip) * eighths / 8));
  std::string unmarked = raw;
  unmarked.replace(strip, 2, "<>");
  temp.Write("raws/h unmarked.cr2", unmarked);
  settings.SearchCR2 = true;
  std::vector<std::string> csvs;
  for (const std::uint8_t stale : {0x00, 0x5A, 0xFF}) {
    const testing::StaleHeap heap(stale);
    Run({"raws/"});
    std::ostringstream csv;
    WritePairsCsv(csv, catalogue, ",");
    csvs.push_back(csv.str());
  }
  EXPECT_NE(csvs[0].find("/raws/a partial.cr2;100;\r\n1;" + temp / "raws/b zeros below.cr2;100;"), std::string::npos)
      << csvs[0];
  EXPECT_NE(csvs[0].find("/raws/d copy.cr2;100;"), std::string::npos);
  EXPECT_EQ(csvs[1], csvs[0]);
  EXPECT_EQ(csvs[2], csvs[0]);
}

TEST_F(ScanRunTest, SummaryGroupsTheCountWithTheLocaleSeparator) {
  for (int i = 0; i < 1234; ++i) temp.Write("p/" + std::to_string(i) + ".gif", "1");
  for (const char* separator : {",", "."}) {
    SCOPED_TRACE(separator);
    Run({"p/"}, separator);
    EXPECT_EQ(Last(Caption::ScannedCount), std::string(ScannedCountPrefix) + "1" + separator + "234");
  }
}

TEST_F(ScanRunTest, AStopDuringTheWalkKeepsTheCatalogueAndLeavesNoPairs) {
  temp.Write("one/a.jpg", "1");
  temp.Write("one/b.jpg", "1");
  temp.Write("two/c.jpg", "1");
  // An earlier scan's pairs must not survive.
  catalogue.Reset();
  catalogue.AllocatePairs();
  catalogue.AppendPair({0, 1, 100});
  // Pumps: 1 the folder one, 2 a.jpg.
  host.AtPump(2, [this] { run->ScanStopped = true; });
  const ScanRun& scan = Run({"one/", "two/"});
  EXPECT_TRUE(scan.ScanStopped);
  EXPECT_EQ(Listed(), (std::vector<std::string>{"one/a.jpg"}));
  EXPECT_EQ(catalogue.PicListCapacity, 1);
  EXPECT_EQ(catalogue.LastPairIndex, -1);
  EXPECT_EQ(catalogue.PairListCapacity, 0);
  EXPECT_EQ(host.Pumps, 2);  // the folder two was never visited
  EXPECT_EQ(Last(Caption::DuplicatesFound), std::string(DuplicatesFoundPrefix) + "0");
}

TEST_F(ScanRunTest, TheCacheForgetsOnlyWhatAWholeWalkOfItsFoldersDidNotFind) {
  temp.Write("one/a.jpg", "1");
  temp.Write("one/sub/b.jpg", "1");
  temp.Write("two/c.jpg", "1");
  struct Case {
    const char* name;
    bool subfolders;
    int stopAtPump;  // 0: no stop
    std::vector<std::string> pruned;
  };
  const std::vector<Case> cases = {
      {"a whole walk", true, 0, {"one/", "two/"}},
      {"without subfolders", false, 0, {"one/", "two/"}},
      {"a walk stopped", true, 2, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingCache recording;
    cache = &recording;
    host.Subfolders = c.subfolders;
    host.Pumps = 0;
    host.AtPump(2, c.stopAtPump == 2 ? std::function<void()>([this] { run->ScanStopped = true; }) : [] {});
    Run({"one/", "one/sub/", "two/"});

    std::vector<RecordingCache::Pruning> expected;
    std::vector<std::string> catalogued;
    for (std::int32_t i = 0; i <= catalogue.LastPicIndex; ++i) catalogued.push_back(catalogue.FullPath(i));
    std::sort(catalogued.begin(), catalogued.end());
    for (const std::string& folder : c.pruned) expected.push_back({temp / folder, c.subfolders, catalogued});
    EXPECT_EQ(recording.Pruned, expected);
    // Pictures that fail to load are remembered as such, and every remembered one is written.
    EXPECT_EQ(recording.Stored.size(), c.stopAtPump == 0 ? catalogue.PicList.size() : 0u);
    EXPECT_EQ(recording.Flushes, c.stopAtPump == 0 ? 1 : 0);
  }
}

}  // namespace
}  // namespace tessimar
