// Moves and deletes under faults: whatever goes wrong, every file keeps its bytes at a
// path the user can see, and the pair list says what the disk holds.
#include <QApplication>
#include <QTableView>
#include <QTest>
#include <filesystem>
#include <utility>

#include "file_state.h"
#include "main_form_fixture.h"

namespace tessimar::testing {
namespace {

using Kind = RecordingMessageBoxes::Kind;
namespace fs = std::filesystem;

class FileActionFaultsTest : public MainFormTest {
 protected:
  // photos/a.jpg and its copy b.jpg, scanned: one pair, selected.
  void ScanOnePair() {
    photos = PictureFolder(temp, "photos");
    Start();
    Drop({QString::fromStdString(photos)});
    PressStart();
    boxes.Boxes.clear();
    ASSERT_EQ(Rows(), 1);
  }
  int Rows() const { return Find<QTableView>("ListView1").model()->rowCount(); }
  QString Cell(int row, int column) const {
    return Find<QTableView>("ListView1").model()->index(row, column).data().toString();
  }
  // Answers the folder picker of the named button with folder (ending in '/'), running
  // during() first while the picker is open.
  void MoveWhilePickerOpen(const std::string& folder, const char* button, const std::function<void()>& during) {
    QTimer::singleShot(0, during);
    AnswerFolderBrowser(QString::fromStdString(folder).chopped(1), button);
  }
  std::string Trash() const { return isolated.DataHome() + "Trash/files/"; }

  std::string photos;
};

TEST_F(FileActionFaultsTest, AFileRenamedOrReplacedSinceTheScanIsNeverMovedOrDeleted) {
  struct Case {
    const char* what;
    bool replace;  // another file takes the name; else the name stays empty
    bool move;
    bool whileAsked;  // during the question or the folder picker; else before the click
  };
  const Case cases[] = {
      {"renamed, then deleted", false, false, false},
      {"replaced, then deleted", true, false, false},
      {"renamed, then moved", false, true, false},
      {"replaced, then moved", true, true, false},
      {"renamed while asked to delete", false, false, true},
      {"replaced while asked to delete", true, false, true},
      {"renamed while the picker is open", false, true, true},
      {"replaced while the picker is open", true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScanOnePair();
    const std::string scanned = ReadFileBytes(photos + "b.jpg");
    const std::string target = temp.MakeFolder("target");
    bool changed = false;
    const auto change = [&] {
      if (std::exchange(changed, true)) return;
      fs::rename(photos + "b.jpg", photos + "renamed.jpg");
      if (c.replace) temp.Write("photos/b.jpg", "another file");
    };
    boxes.Answers = {true};
    if (!c.whileAsked) change();
    if (c.move && c.whileAsked) {
      MoveWhilePickerOpen(target, "MoveImageButton2", change);
    } else {
      if (c.whileAsked) boxes.WhileOpen = change;
      Click(c.move ? "MoveImageButton2" : "DeleteImageButton2");
    }

    const auto errors = BoxesOf(Kind::Error);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].text, "Cannot find this file:\n\rb.jpg");
    EXPECT_TRUE(BoxesOf(Kind::Information).empty());
    EXPECT_EQ(Rows(), 1);
    EXPECT_EQ(ReadFileBytes(photos + "renamed.jpg"), scanned);
    EXPECT_EQ(fs::exists(photos + "b.jpg"), c.replace);
    if (c.replace) {
      EXPECT_EQ(ReadFileBytes(photos + "b.jpg"), "another file");
    }
    EXPECT_TRUE(fs::is_empty(target));
    EXPECT_FALSE(fs::exists(Trash()));
    window.reset();
    boxes.Boxes.clear();
    boxes.WhileOpen = nullptr;
    fs::remove_all(photos);
    fs::remove_all(target);
  }
}

TEST_F(FileActionFaultsTest, ADeleteToATrashThatCannotBeMadeKeepsTheFileAndItsPair) {
  // The trash would go below a file.
  const ScopedVariable dataHome("XDG_DATA_HOME", temp.Write("data-file", "not a folder"));
  ScanOnePair();
  const std::string bytes = ReadFileBytes(photos + "b.jpg");
  boxes.Answers = {true};
  Click("DeleteImageButton2");
  const auto errors = BoxesOf(Kind::Error);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].text, "Cannot delete file b.jpg\n\rError code = 20");
  EXPECT_EQ(ReadFileBytes(photos + "b.jpg"), bytes);
  EXPECT_EQ(ReadFileBytes(temp / "data-file"), "not a folder");
  EXPECT_EQ(Rows(), 1);
}

// Names that are not UTF-8 show with replacement characters; the actions use their bytes.
TEST_F(FileActionFaultsTest, NamesThatAreNotUtf8AreActedOnByTheirBytes) {
  const std::string listed = temp.MakeFolder("photos");
  const std::string made = PictureFolder(temp, "photos/made");
  fs::copy_file(made + "a.jpg", made + "c.jpg");
  const std::string bytes = ReadFileBytes(made + "a.jpg");
  // Latin-1 names: a folder and two copies of a.jpg in it.
  fs::rename(made + "b.jpg", made + "b\xE9.jpg");
  fs::rename(made + "c.jpg", made + "c\xE9.jpg");
  const std::string folder = listed + "ph\xF6tos/";
  fs::rename(made, folder);
  Start();
  Drop({QString::fromStdString(listed)});
  PressStart();
  boxes.Boxes.clear();
  ASSERT_EQ(Rows(), 2);
  EXPECT_EQ(Cell(0, 1), QString::fromStdString(listed) + QStringLiteral("ph\uFFFDtos/b\uFFFD.jpg"));

  // Without a file manager the picture's folder opens; a click on the picture opens it.
  Click("BrowseImageButton2");
  QTest::mouseClick(&Find<QWidget>("RightImage"), Qt::LeftButton);
  ASSERT_EQ(urls.Opened.size(), 2);
  EXPECT_TRUE(urls.Opened[0].toEncoded().endsWith("/photos/ph%F6tos")) << urls.Opened[0].toEncoded().toStdString();
  EXPECT_TRUE(urls.Opened[1].toEncoded().endsWith("/photos/ph%F6tos/b%E9.jpg"))
      << urls.Opened[1].toEncoded().toStdString();

  // The second row is (b, c): c goes to the trash, then b moves away.
  Find<QTableView>("ListView1").selectRow(1);
  boxes.Answers = {true};
  Click("DeleteImageButton2");
  EXPECT_FALSE(fs::exists(folder + "c\xE9.jpg"));
  EXPECT_EQ(ReadFileBytes(Trash() + "c\xE9.jpg"), bytes);
  ASSERT_EQ(Rows(), 1);
  const std::string target = temp.MakeFolder("target");
  MoveWhilePickerOpen(target, "MoveImageButton2", [] {});
  EXPECT_TRUE(BoxesOf(Kind::Error).empty()) << BoxesOf(Kind::Error).front().text.toStdString();
  ASSERT_EQ(BoxesOf(Kind::Information).size(), 1u);
  EXPECT_EQ(BoxesOf(Kind::Information)[0].text, QStringLiteral("b\uFFFD.jpg moved successfully"));
  EXPECT_FALSE(fs::exists(folder + "b\xE9.jpg"));
  EXPECT_EQ(ReadFileBytes(target + "b\xE9.jpg"), bytes);
  EXPECT_EQ(Rows(), 0);
}

}  // namespace
}  // namespace tessimar::testing
