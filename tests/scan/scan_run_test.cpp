#include "scan/scan_run.h"

#include "scan/listed_folders.h"
#include "scan/scan_texts.h"
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
    run = std::make_unique<ScanRun>(catalogue, settings, host, trash, separator);
    if (run->CheckPreconditions(folders, false)) run->Run(folders);
    return *run;
  }
  std::string Last(Caption caption) { return host.Captions[caption].empty() ? "" : host.Captions[caption].back(); }

  std::unique_ptr<ScanRun> run;
};

TEST_F(ScanRunTest, RefusesWithoutFoldersOrTypes) {
  ScanRun scan(catalogue, settings, host, trash, ",");
  EXPECT_FALSE(scan.CheckPreconditions({}, false));
  EXPECT_FALSE(scan.CheckPreconditions({"/placeholder/"}, true));
  settings.SearchJPG = settings.SearchBMP = settings.SearchGIF = settings.SearchPNG = false;
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

}  // namespace
}  // namespace tessimar
