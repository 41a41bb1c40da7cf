#include "scan/folder_walk.h"

#include <sys/stat.h>
#include <unistd.h>

#include "bound_socket.h"
#include "scan/scan_texts.h"
#include "settings/picture_types.h"
#include "walk_fixture.h"

namespace tessimar {
namespace {

using FolderWalkTest = WalkFixture;

TEST_F(FolderWalkTest, MasksInOrderWithoutCaseAndEachNameOnce) {
  settings.SearchTIFF = settings.SearchCR2 = true;
  for (const char* name : {"b.jpg", "x.jpeg.png", "A.PNG", "c.bmp", "Y.JPEG", "t.tiff", "s.TIF", "r.Cr2", "g.gif",
                           "n.txt", "jpg", "p.jpg.txt", "w.webp", "h.hif", "i.HEIC", "v.avif", "e.heif", "t.tif.heic"})
    temp.Write(name, "data");
  Walk();
  EXPECT_EQ(Listed(), (std::vector<std::string>{"c.bmp", "i.HEIC", "t.tif.heic", "e.heif", "h.hif", "b.jpg",
                                                "x.jpeg.png", "Y.JPEG", "v.avif", "g.gif", "w.webp", "A.PNG", "s.TIF",
                                                "t.tiff", "r.Cr2"}));
}

// Each setting alone catalogues the names of its own type, by every mask of the type.
TEST_F(FolderWalkTest, EachTypeCataloguesItsOwnNamesOnly) {
  for (const char* name : {"a.hif", "b.HEIF", "c.heic", "d.Avif", "e.webp", "f.jpeg", "g.bmp", "h.gif", "i.png",
                           "j.tif", "k.cr2", "l.heics", "m.webp.txt", "n.avi", "o.hei"})
    temp.Write(name, "data");
  struct Case {
    bool TSettings::*setting;
    std::vector<std::string> listed;
  };
  const Case cases[] = {
      {&TSettings::SearchHEIC, {"c.heic", "b.HEIF", "a.hif"}},
      {&TSettings::SearchAVIF, {"d.Avif"}},
      {&TSettings::SearchWEBP, {"e.webp"}},
      {&TSettings::SearchJPG, {"f.jpeg"}},
      {&TSettings::SearchBMP, {"g.bmp"}},
      {&TSettings::SearchGIF, {"h.gif"}},
      {&TSettings::SearchPNG, {"i.png"}},
      {&TSettings::SearchTIFF, {"j.tif"}},
      {&TSettings::SearchCR2, {"k.cr2"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.listed.front());
    for (const PictureType& type : PictureTypes) settings.*type.Search = type.Search == c.setting;
    Walk();
    EXPECT_EQ(Listed(), c.listed);
  }
}

TEST_F(FolderWalkTest, DisabledTypesAreNotCatalogued) {
  for (const char* name : {"a.jpg", "b.png", "c.tif", "d.cr2"}) temp.Write(name, "data");
  settings.SearchJPG = false;
  Walk();
  EXPECT_EQ(Listed(), (std::vector<std::string>{"b.png"}));
}

TEST_F(FolderWalkTest, EmptyFilesAreNotCataloguedAndRegisterNoFolder) {
  temp.Write("only-empty/a.png", "");
  temp.Write("only-empty/deeper/b.png", "png");
  temp.Write("mixed/a.png", "");
  temp.Write("mixed/b.png", "png");
  temp.Write("only-folders/inner/c.gif", "gif");
  Walk();
  EXPECT_EQ(Listed(), (std::vector<std::string>{"mixed/b.png", "only-empty/deeper/b.png", "only-folders/inner/c.gif"}));
  EXPECT_EQ(Folders(), (std::vector<std::string>{"mixed/", "only-empty/deeper/", "only-folders/inner/"}));
  for (std::int32_t i = 0; i <= catalogue.LastPicIndex; ++i) EXPECT_EQ(catalogue.PicList[i].PathInd, i);
}

TEST_F(FolderWalkTest, AFolderDoesItsFilesBeforeItsSubfolders) {
  temp.Write("z.jpg", "1");
  temp.Write("a/b.jpg", "1");
  temp.Write("B/c.jpg", "1");
  temp.Write("a/a.bmp", "1");
  Walk();
  EXPECT_EQ(Listed(), (std::vector<std::string>{"z.jpg", "a/a.bmp", "a/b.jpg", "B/c.jpg"}));
}

TEST_F(FolderWalkTest, SpecialFilesAndFoldersNamedLikePicturesArePassedOver) {
  ASSERT_EQ(::mkfifo((temp / "fifo.jpg").c_str(), 0600), 0);
  const testing::BoundSocket listening(temp / "socket.jpg");
  // Character devices, one of them endless, as links can bring them into any folder.
  Link("/dev/zero", "zero.jpg");
  Link("/dev/null", "null.jpg");
  temp.MakeFolder("album.jpg");
  temp.Write("album.jpg/inside.jpg", "1");
  temp.Write("real.jpg", "1");
  Walk();
  EXPECT_EQ(Listed(), (std::vector<std::string>{"real.jpg", "album.jpg/inside.jpg"}));
}

TEST_F(FolderWalkTest, EachFolderIsEnteredOnceWhateverLinksLeadBackToIt) {
  temp.Write("a/pic.jpg", "1");
  temp.MakeFolder("b");
  Link(temp.Path(), "a/up");
  Link(temp / "a", "a/self");
  Link(temp / "a", "b/toA");
  Walk();
  EXPECT_EQ(Listed(), (std::vector<std::string>{"a/pic.jpg"}));
}

TEST_F(FolderWalkTest, AWebOfLinksDoesNotMultiplyTheWalk) {
  // Every folder links to every other: followed naively, the walk would read each of
  // them once per path of links leading to it.
  constexpr int Count = 8;
  for (int i = 0; i < Count; ++i) temp.Write("f" + std::to_string(i) + "/p.jpg", "1");
  for (int i = 0; i < Count; ++i)
    for (int j = 0; j < Count; ++j)
      if (i != j) Link(temp / ("f" + std::to_string(j)), "f" + std::to_string(i) + "/to" + std::to_string(j));
  Walk();
  EXPECT_EQ(Listed().size(), static_cast<std::size_t>(Count));
  // One pump per folder entered and one per file.
  EXPECT_EQ(host.Pumps, 1 + 2 * Count);
}

TEST_F(FolderWalkTest, AFileIsCataloguedOnceUnderTheFirstNameMet) {
  temp.Write("a/one.jpg", "1");
  ASSERT_EQ(::link((temp / "a/one.jpg").c_str(), (temp / "a/two.jpg").c_str()), 0);
  temp.MakeFolder("b");
  Link(temp / "a/one.jpg", "b/three.jpg");
  temp.Write("b/own.jpg", "1");
  Walk();
  EXPECT_EQ(Listed(), (std::vector<std::string>{"a/one.jpg", "b/own.jpg"}));
  EXPECT_EQ(Folders(), (std::vector<std::string>{"a/", "b/"}));
}

TEST_F(FolderWalkTest, WithoutSubfoldersOnlyTheListedFolderIsRead) {
  temp.Write("top.png", "1");
  temp.Write("sub/below.png", "1");
  host.Subfolders = false;
  Walk();
  EXPECT_EQ(Listed(), (std::vector<std::string>{"top.png"}));
}

TEST_F(FolderWalkTest, TheSubfolderSwitchIsReadAfreshAtEveryFolder) {
  temp.Write("r.jpg", "1");
  temp.Write("sub1/s.jpg", "1");
  temp.Write("sub1/deep/d.jpg", "1");
  temp.Write("sub2/s.jpg", "1");
  temp.Write("sub2/deep/d.jpg", "1");
  // Pumps: 1 the listed folder, 2 r.jpg, 3 the visit of sub1.
  host.AtPump(3, [this] { host.Subfolders = false; });
  Walk();
  EXPECT_EQ(Listed(), (std::vector<std::string>{"r.jpg", "sub1/s.jpg", "sub2/s.jpg"}));
}

TEST_F(FolderWalkTest, TrashFoldersAreSkippedWithEverythingBelowThem) {
  temp.Write("home-trash/files/gone.jpg", "1");
  // Trash names count only at the root of a file system, which a test folder is not.
  temp.Write("photos/.Trash-0/kept.jpg", "1");
  temp.Write("photos/.Trash/kept.jpg", "1");
  temp.Write("photos/keep.jpg", "1");
  trash = TrashFolders(temp / "home-trash/");
  Walk();
  EXPECT_EQ(Listed(),
            (std::vector<std::string>{"photos/keep.jpg", "photos/.Trash/kept.jpg", "photos/.Trash-0/kept.jpg"}));
  Walk("home-trash/files");
  EXPECT_TRUE(Listed().empty());
}

TEST_F(FolderWalkTest, ProgressCaptionAtEveryTenthFile) {
  for (int i = 0; i < 25; ++i) temp.Write("p" + std::to_string(100 + i) + ".png", "1");
  Walk();
  const std::string prefix(FilesCountPrefix);
  EXPECT_EQ(host.Captions[Caption::FilesCount],
            (std::vector<std::string>{prefix + "0 / 1", prefix + "0 / 11", prefix + "0 / 21"}));
}

TEST_F(FolderWalkTest, AStopEndsTheWalkAtTheNextTestAndEachSiblingReadsNothing) {
  temp.Write("r.jpg", "1");
  temp.Write("a/a1/x1.jpg", "1");
  temp.Write("a/a1/x2.jpg", "1");
  temp.Write("a/a2/x.jpg", "1");
  temp.Write("b/y.jpg", "1");
  settings = TSettings{};
  settings.SearchBMP = settings.SearchGIF = settings.SearchPNG = false;
  settings.SearchHEIC = settings.SearchAVIF = settings.SearchWEBP = false;
  // Pumps without a stop: 1 root, 2 r.jpg, 3 a, 4 a1, 5 x1.jpg, 6 x2.jpg, 7 a2, 8 x.jpg, 9 b, 10 y.jpg.
  struct Case {
    int stopAt;
    std::vector<std::string> listed;
    int pumps;
  };
  const std::vector<Case> cases = {
      {0, {"r.jpg", "a/a1/x1.jpg", "a/a1/x2.jpg", "a/a2/x.jpg", "b/y.jpg"}, 10},
      {1, {}, 1},
      // The last mask ran through, so the subfolders a and b are each visited briefly.
      {2, {"r.jpg"}, 4},
      // x1.jpg is finished; then a2 and b: one pump each, nothing read.
      {5, {"r.jpg", "a/a1/x1.jpg"}, 7},
      {7, {"r.jpg", "a/a1/x1.jpg", "a/a1/x2.jpg"}, 8},
      {10, {"r.jpg", "a/a1/x1.jpg", "a/a1/x2.jpg", "a/a2/x.jpg", "b/y.jpg"}, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stopAt);
    host = {};
    if (c.stopAt > 0) host.AtPump(c.stopAt, [this] { stopped = true; });
    Walk();
    EXPECT_EQ(Listed(), c.listed);
    EXPECT_EQ(host.Pumps, c.pumps);
  }
}

TEST_F(FolderWalkTest, AMissingOrUnreadableListedFolderYieldsNothing) {
  Walk("missing");
  EXPECT_TRUE(Listed().empty());
  EXPECT_EQ(host.Pumps, 0);
  temp.Write("file.jpg", "1");
  Walk("file.jpg");
  EXPECT_TRUE(Listed().empty());
}

TEST_F(FolderWalkTest, ThirtyOneThousandFilesGrowTheListTwice) {
  for (int i = 0; i < 31000; ++i) temp.Write("many/" + std::to_string(i) + ".jpg", "1");
  Walk();
  EXPECT_EQ(catalogue.LastPicIndex, 30999);
  EXPECT_EQ(catalogue.PicListCapacity, 31000);
  EXPECT_EQ(Listed().front(), "many/0.jpg");
  EXPECT_EQ(Listed().back(), "many/9999.jpg");
}

}  // namespace
}  // namespace tessimar
