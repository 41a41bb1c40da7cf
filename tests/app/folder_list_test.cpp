#include <QListWidget>
#include <QTest>

#include "main_form_fixture.h"

namespace tessimar::testing {
namespace {

// Spelled out: the hints name the Linux file manager, each in its own wording.
const QStringList StartupPlaceholder = {"", "", "       您可以从 文件管理器将目录拖到此处"};
const QStringList EmptiedPlaceholder = {"", "", "       您可以从 文件管理器中拖动目录到这里"};

class FolderListTest : public MainFormTest {
 protected:
  QListWidget& List() const { return Find<QListWidget>("DirectoriesListBox"); }
  QString Folder(const std::string& name) const { return QString::fromStdString(temp.MakeFolder(name)); }
  // Lists the folders a/, b/ and c/ by a drop.
  QStringList ListThree() const {
    const QStringList three = {Folder("a"), Folder("b"), Folder("c")};
    Drop({three[0], three[1], three[2]});
    return three;
  }
  int SelectedRow() const {
    const auto selected = List().selectedItems();
    return selected.isEmpty() ? -1 : List().row(selected.first());
  }
};

TEST_F(FolderListTest, AddAppendsTheChosenFolderWithATrailingSlash) {
  Start();
  const QString photos = Folder("photos");
  AddFolder("");
  EXPECT_EQ(Folders(), StartupPlaceholder);
  EXPECT_FALSE(List().isEnabled());

  AddFolder(photos.chopped(1));
  EXPECT_EQ(Folders(), QStringList({photos}));
  EXPECT_TRUE(List().isEnabled());
  EXPECT_EQ(SelectedRow(), -1);

  AddFolder(photos.chopped(1));
  AddFolder("/");
  EXPECT_EQ(Folders(), QStringList({photos, photos, "/"}));
}

TEST_F(FolderListTest, ButtonsMoveAndRemoveTheSelectedFolder) {
  struct Row {
    const char* button;
    int selected;
    QList<int> order;  // indices into the three listed folders
    int selectedAfter;  // -1: whatever the list selects
  };
  const Row rows[] = {
      {"MoveFolderUpButton", 2, {0, 2, 1}, 1},   {"MoveFolderUpButton", 0, {0, 1, 2}, 0},
      {"MoveFolderUpButton", -1, {0, 1, 2}, -1}, {"MoveFolderDownButton", 0, {1, 0, 2}, 1},
      {"MoveFolderDownButton", 2, {0, 1, 2}, 2}, {"MoveFolderDownButton", -1, {0, 1, 2}, -1},
      {"RemoveFolderButton", 1, {0, 2}, -1},     {"RemoveFolderButton", -1, {0, 1, 2}, -1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.button) + " on " + std::to_string(row.selected));
    Start();
    const QStringList three = ListThree();
    SelectFolder(row.selected);
    Click(row.button);
    QStringList expected;
    for (int i : row.order) expected << three[i];
    EXPECT_EQ(Folders(), expected);
    if (row.selectedAfter >= 0) {
      EXPECT_EQ(SelectedRow(), row.selectedAfter);
    }
  }
}

TEST_F(FolderListTest, EmptyingTheListByButtonShowsTheOtherHint) {
  for (const char* button : {"RemoveFolderButton", "ClearDirectoriesButton"}) {
    SCOPED_TRACE(button);
    Start();
    Drop({Folder("only")});
    SelectFolder(0);
    Click(button);
    EXPECT_EQ(Folders(), EmptiedPlaceholder);
    EXPECT_FALSE(List().isEnabled());
  }
}

TEST_F(FolderListTest, ButtonsLeaveThePlaceholderAlone) {
  Start();
  for (const char* button :
       {"RemoveFolderButton", "MoveFolderUpButton", "MoveFolderDownButton", "ClearDirectoriesButton"}) {
    SCOPED_TRACE(button);
    Click(button);
    EXPECT_EQ(Folders(), StartupPlaceholder);
  }
}

TEST_F(FolderListTest, TheDeleteKeyRemovesTheSelectedFolderButNeverShowsTheHint) {
  Start();
  const QStringList three = ListThree();
  List().setFocus();
  SelectFolder(-1);
  QTest::keyClick(&List(), Qt::Key_Delete);
  EXPECT_EQ(Folders(), three);
  for (int remaining = 2; remaining >= 0; --remaining) {
    SelectFolder(0);
    QTest::keyClick(&List(), Qt::Key_Delete);
    EXPECT_EQ(Folders(), three.mid(3 - remaining));
  }
  EXPECT_TRUE(List().isEnabled());

  PressStart();
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_EQ(boxes.Boxes[0].text, "请添加一个或多个目录再进行扫描查找。");
  Click("RemoveFolderButton");
  EXPECT_EQ(Folders(), EmptiedPlaceholder);
}

TEST_F(FolderListTest, DropsAddTheFoldersOfTheDroppedItemsInOrder) {
  struct Row {
    const char* what;
    QStringList dropped;  // relative to the test folder, or absolute
    QStringList listed;
  };
  const Row rows[] = {
      {"a folder", {"photos"}, {"photos/"}},
      {"a picture", {"photos/a.jpg"}, {"photos/"}},
      {"three pictures of one folder", {"photos/a.jpg", "photos/b.jpg", "photos/a.jpg"},
       {"photos/", "photos/", "photos/"}},
      {"several items", {"other", "photos/a.jpg", "other/x.txt"}, {"other/", "photos/", "other/"}},
      {"nothing that exists", {"gone/a.jpg"}, {}},
      {"onto the results list", {"photos"}, {"photos/"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Start();
    temp.Write("photos/a.jpg", "x");
    temp.Write("other/x.txt", "x");
    QStringList dropped;
    for (const QString& item : row.dropped) dropped << QString::fromStdString(temp.Path()) + item;
    QStringList listed;
    for (const QString& item : row.listed) listed << QString::fromStdString(temp.Path()) + item;
    Drop(dropped, std::string(row.what) == "onto the results list" ? "ListView1" : "DirectoriesListBox");
    EXPECT_EQ(Folders(), listed);
    EXPECT_TRUE(List().isEnabled());
  }
}

}  // namespace
}  // namespace tessimar::testing
