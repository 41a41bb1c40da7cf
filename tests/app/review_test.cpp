// The results review in the window: the list of pairs, the preview that follows the
// confirmed selection, the sort by a header click, swap, open, the file actions and the
// CSV export, driven as a user drives them.
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QTableView>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "app/main_form_texts.h"
#include "app/preview_image.h"
#include "file_state.h"
#include "main_form_fixture.h"

namespace tessimar::testing {
namespace {

using Kind = RecordingMessageBoxes::Kind;
namespace fs = std::filesystem;

void WritePicture(const std::string& path, int width, int height, int hue) {
  QImage picture(width, height, QImage::Format_RGB32);
  QPainter painter(&picture);
  painter.fillRect(picture.rect(), QColor::fromHsv(hue, 180, 200));
  painter.setBrush(Qt::black);
  painter.drawEllipse(QPoint(width / 3, height / 2), width / 6, height / 4);
  painter.end();
  ASSERT_TRUE(picture.save(QString::fromStdString(path), "JPG"));
}

class ReviewTest : public MainFormTest {
 protected:
  // a.jpg with its copies b.jpg and e.jpg, and c.jpg with its copy d.jpg. The two
  // pictures differ too much in shape ever to be compared, so the pairs are (a, b),
  // (c, d) and (b, e), all at 100.
  void ScanPlantedCopies() {
    photos = temp.MakeFolder("photos");
    WritePicture(photos + "a.jpg", 200, 150, 30);
    WritePicture(photos + "c.jpg", 300, 100, 200);
    fs::copy_file(photos + "a.jpg", photos + "b.jpg");
    fs::copy_file(photos + "c.jpg", photos + "d.jpg");
    fs::copy_file(photos + "a.jpg", photos + "e.jpg");
    Start();
    Drop({QString::fromStdString(photos)});
    PressStart();
    boxes.Boxes.clear();
  }

  QTableView& List() const { return Find<QTableView>("ListView1"); }
  int Rows() const { return List().model()->rowCount(); }
  int SelectedRow() const {
    const auto rows = List().selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
  }
  QString Cell(int row, int column) const { return List().model()->index(row, column).data().toString(); }
  // The file names of each row's two paths.
  std::vector<std::pair<std::string, std::string>> Names() const {
    std::vector<std::pair<std::string, std::string>> names;
    for (int row = 0; row < Rows(); ++row)
      names.emplace_back(fs::path(Cell(row, 0).toStdString()).filename(),
                         fs::path(Cell(row, 1).toStdString()).filename());
    return names;
  }
  QString Text(const char* label) const { return Find<QLabel>(label).text(); }
  void ClickRow(int row) const {
    const QRect cell = List().visualRect(List().model()->index(row, 0));
    QTest::mouseClick(List().viewport(), Qt::LeftButton, {}, cell.center());
  }
  void ClickHeader(int column) const {
    QHeaderView* header = List().horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 10, header->height() / 2));
  }
  void Key(QEvent::Type type, int key, bool autoRepeat = false) const {
    QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(&List(), &event);
  }
  void PressAndRelease(int key) const {
    Key(QEvent::KeyPress, key);
    Key(QEvent::KeyRelease, key);
  }
  // Triggers the CSV menu item and answers the save dialog with fileName.
  void SaveCsv(const std::string& fileName) const {
    QTimer::singleShot(0, [fileName] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      dialog->selectFile(QString::fromStdString(fileName));
      static_cast<QDialog*>(dialog)->accept();  // QFileDialog hides it
    });
    Find<QAction>("SavelistofdupliacatestoCSV1").trigger();
  }

  std::string photos;
};

TEST_F(ReviewTest, TheSamplePairShowsBeforeTheFirstScan) {
  Start();
  EXPECT_EQ(Text("ImageLabel1"), "JPG  220 x 290  17 KB");
  EXPECT_EQ(Text("ImageLabel2"), "JPG  220 x 290  12 KB");
  EXPECT_EQ(Text("PercentLabel"), "56%");
  for (const char* name : {"LeftImage", "RightImage"})
    EXPECT_EQ(Find<PreviewImage>(name).Picture().size(), QSize(220, 290)) << name;
  for (const char* sample : {":/samples/sample1.jpg", ":/samples/sample2.jpg"}) {
    QFile file(QString::fromLatin1(sample));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(3).startsWith("\xFF\xD8\xFF")) << sample;
  }
}

TEST_F(ReviewTest, TheListShowsEveryPairAndThePreviewFollowsTheConfirmedSelection) {
  ScanPlantedCopies();
  ASSERT_EQ(Rows(), 3);
  EXPECT_EQ(Cell(0, 0), QString::fromStdString(photos + "a.jpg"));
  EXPECT_EQ(Cell(0, 1), QString::fromStdString(photos + "b.jpg"));
  EXPECT_EQ(Cell(0, 2), "100");
  EXPECT_EQ(Names(), (std::vector<std::pair<std::string, std::string>>{{"a.jpg", "b.jpg"}, {"c.jpg", "d.jpg"},
                                                                       {"b.jpg", "e.jpg"}}));
  EXPECT_EQ(SelectedRow(), 0);
  EXPECT_TRUE(Text("ImageLabel1").startsWith("JPG  200 x 150  ")) << Text("ImageLabel1").toStdString();
  EXPECT_EQ(Text("PercentLabel"), "100%");

  // Held down, the key moves the selection; the preview follows once, at the release.
  List().setFocus();
  Key(QEvent::KeyPress, Qt::Key_Down);
  Key(QEvent::KeyRelease, Qt::Key_Down, true);
  EXPECT_EQ(SelectedRow(), 1);
  EXPECT_TRUE(Text("ImageLabel1").startsWith("JPG  200 x 150"));
  Key(QEvent::KeyRelease, Qt::Key_Down);
  EXPECT_TRUE(Text("ImageLabel1").startsWith("JPG  300 x 100")) << Text("ImageLabel1").toStdString();

  // End moves the selection without a refresh; a click refreshes.
  PressAndRelease(Qt::Key_End);
  EXPECT_EQ(SelectedRow(), 2);
  EXPECT_TRUE(Text("ImageLabel1").startsWith("JPG  300 x 100"));
  ClickRow(2);
  EXPECT_TRUE(Text("ImageLabel1").startsWith("JPG  200 x 150"));
  EXPECT_TRUE(List().showGrid());
  EXPECT_EQ(List().selectionMode(), QAbstractItemView::SingleSelection);
}

TEST_F(ReviewTest, HeaderClicksSortInPlaceAndKeepTheSelectedRow) {
  ScanPlantedCopies();
  ClickRow(1);
  const QString preview = Text("ImageLabel1");
  using Names = std::vector<std::pair<std::string, std::string>>;
  // The state starts as column 0 ascending, so the first click sorts descending.
  ClickHeader(0);
  EXPECT_EQ(this->Names(), (Names{{"c.jpg", "d.jpg"}, {"b.jpg", "e.jpg"}, {"a.jpg", "b.jpg"}}));
  EXPECT_EQ(SelectedRow(), 1);
  EXPECT_EQ(Text("ImageLabel1"), preview);
  ClickHeader(0);
  EXPECT_EQ(this->Names(), (Names{{"a.jpg", "b.jpg"}, {"b.jpg", "e.jpg"}, {"c.jpg", "d.jpg"}}));
  ClickHeader(1);
  EXPECT_EQ(this->Names(), (Names{{"a.jpg", "b.jpg"}, {"c.jpg", "d.jpg"}, {"b.jpg", "e.jpg"}}));
  ClickHeader(1);
  EXPECT_EQ(this->Names(), (Names{{"b.jpg", "e.jpg"}, {"c.jpg", "d.jpg"}, {"a.jpg", "b.jpg"}}));
}

TEST_F(ReviewTest, NothingChangesThePairListWhileTheSortLetsEventsThrough) {
  using Names = std::vector<std::pair<std::string, std::string>>;
  const Names descending = {{"c.jpg", "d.jpg"}, {"b.jpg", "e.jpg"}, {"a.jpg", "b.jpg"}};
  struct Row {
    const char* what;
    std::function<void()> during;
  };
  const Row rows[] = {
      {"second header click", [this] { ClickHeader(0); }},
      {"swap", [this] { Click("SwapImagesButton"); }},
      {"delete", [this] { Click("DeleteImageButton2"); }},
      {"move", [this] { Click("MoveImageButton1"); }},
      {"start", [this] { PressStart(); }},
      {"export", [this] { Find<QAction>("SavelistofdupliacatestoCSV1").trigger(); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    ScanPlantedCopies();
    boxes.Answers = {true, true};
    QTimer::singleShot(0, row.during);
    // Were the action let through, a dialog it opened would wait for an answer.
    QTimer::singleShot(DeadlineMs, [] {
      if (QWidget* open = QApplication::activeModalWidget()) open->close();
    });
    ClickHeader(0);
    EXPECT_EQ(this->Names(), descending);
    EXPECT_TRUE(boxes.Boxes.empty());
    EXPECT_TRUE(fs::exists(photos + "b.jpg"));
    window.reset();
    fs::remove_all(photos);
  }
}

TEST_F(ReviewTest, ACloseDuringTheSortWaitsForItsEnd) {
  ScanPlantedCopies();
  bool openDuringSort = false;
  QTimer::singleShot(0, [this, &openDuringSort] {
    window->close();
    openDuringSort = window->isVisible();
  });
  ClickHeader(0);
  EXPECT_TRUE(openDuringSort);
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(window->Pictures().PicList.empty());
}

TEST_F(ReviewTest, SwapExchangesTheSidesOfTheSelectedPairOrOnlyThePictures) {
  ScanPlantedCopies();
  ClickRow(1);
  const QString left = Text("ImageLabel1"), right = Text("ImageLabel2");
  Click("SwapImagesButton");
  EXPECT_EQ(Names()[1], (std::pair<std::string, std::string>{"d.jpg", "c.jpg"}));
  EXPECT_EQ(window->Pictures().PicturePairs[1].PicIndex1, 3);
  Click("SwapImagesButton");
  EXPECT_EQ(Names()[1], (std::pair<std::string, std::string>{"c.jpg", "d.jpg"}));
  EXPECT_EQ(Text("ImageLabel1"), left);
  EXPECT_EQ(Text("ImageLabel2"), right);

  List().clearSelection();
  const QImage shownLeft = Find<PreviewImage>("LeftImage").Picture();
  const QImage shownRight = Find<PreviewImage>("RightImage").Picture();
  Find<PreviewImage>("RightImage").SetPicture(QImage(10, 10, QImage::Format_RGB32));
  Click("SwapImagesButton");
  EXPECT_EQ(Find<PreviewImage>("LeftImage").Picture().size(), QSize(10, 10));
  EXPECT_EQ(Find<PreviewImage>("RightImage").Picture(), shownLeft);
  EXPECT_EQ(Text("ImageLabel1"), left);
  EXPECT_NE(shownRight.size(), QSize(10, 10));
}

TEST_F(ReviewTest, APictureOpensWithTheDefaultApplicationWhileItsFileExists) {
  ScanPlantedCopies();
  QTest::mouseClick(&Find<PreviewImage>("RightImage"), Qt::LeftButton);
  ASSERT_EQ(urls.Opened.size(), 1);
  EXPECT_EQ(urls.Opened[0], QUrl::fromLocalFile(QString::fromStdString(photos + "b.jpg")));
  fs::remove(photos + "a.jpg");
  QTest::mouseClick(&Find<PreviewImage>("LeftImage"), Qt::LeftButton);
  EXPECT_EQ(urls.Opened.size(), 1);
}

TEST_F(ReviewTest, WithoutAFileManagerBrowseOpensThePicturesFolder) {
  ScanPlantedCopies();
  fs::remove(photos + "b.jpg");  // no existence test: the folder still opens
  Click("BrowseImageButton2");
  ASSERT_EQ(urls.Opened.size(), 1);
  EXPECT_EQ(urls.Opened[0], QUrl::fromLocalFile(QString::fromStdString(photos.substr(0, photos.size() - 1))));
}

TEST_F(ReviewTest, ActionCaptionsLightUnderThePointer) {
  Start();
  for (const char* stem : {"MoveImage", "BrowseImage", "DeleteImage"}) {
    for (const char* side : {"1", "2"}) {
      const QString button = QString::fromLatin1(stem) + "Button" + side;
      QLabel& caption = Find<QLabel>(qPrintable(QString::fromLatin1(stem) + "Label" + side));
      QEvent enter(QEvent::Enter), leave(QEvent::Leave);
      QApplication::sendEvent(&Find<QWidget>(qPrintable(button)), &enter);
      EXPECT_EQ(caption.palette().color(QPalette::WindowText), QColor(Qt::white)) << button.toStdString();
      QApplication::sendEvent(&Find<QWidget>(qPrintable(button)), &leave);
      EXPECT_EQ(caption.palette().color(QPalette::WindowText), QColor(128, 128, 128)) << button.toStdString();
    }
  }
}

TEST_F(ReviewTest, ASecondPictureThatFailsLeavesThePreviewPartlyUpdated) {
  ScanPlantedCopies();
  const QString leftLine = Text("ImageLabel1");
  const QImage right = Find<PreviewImage>("RightImage").Picture();
  fs::remove(photos + "d.jpg");
  ClickRow(1);
  const auto errors = BoxesOf(Kind::Error);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_TRUE(errors[0].text.startsWith("Cannot open file \"" + QString::fromStdString(photos + "d.jpg") + "\". "))
      << errors[0].text.toStdString();
  // c.jpg is 300 x 100: the left picture is the new one, all else the old pair's.
  EXPECT_EQ(Find<PreviewImage>("LeftImage").Picture().size(), QSize(300, 100));
  EXPECT_EQ(Find<PreviewImage>("RightImage").Picture(), right);
  EXPECT_EQ(Text("ImageLabel1"), leftLine);
}

TEST_F(ReviewTest, DeletingAPictureTakesEveryPairOfItOutAndSelectsTheSameRow) {
  ScanPlantedCopies();
  ClickRow(0);
  boxes.Answers = {false};
  Click("DeleteImageButton2");
  ASSERT_EQ(BoxesOf(Kind::Confirmation).size(), 1u);
  EXPECT_EQ(BoxesOf(Kind::Confirmation)[0].text, "你确定要删除文件吗？\n\rb.jpg");
  EXPECT_EQ(Rows(), 3);

  boxes.Answers = {true};
  Click("DeleteImageButton2");
  EXPECT_FALSE(fs::exists(photos + "b.jpg"));
  EXPECT_EQ(ReadFileBytes(isolated.DataHome() + "Trash/files/b.jpg"), ReadFileBytes(photos + "a.jpg"));
  // b.jpg was in the first and the last pair.
  EXPECT_EQ(Names(), (std::vector<std::pair<std::string, std::string>>{{"c.jpg", "d.jpg"}}));
  EXPECT_EQ(SelectedRow(), 0);
  EXPECT_TRUE(Text("ImageLabel1").startsWith("JPG  300 x 100"));
  EXPECT_TRUE(window->Pictures().PicList[1].Deleted);

  // A file gone since the scan is named and nothing changes.
  fs::remove(photos + "d.jpg");
  Click("DeleteImageButton2");
  EXPECT_EQ(BoxesOf(Kind::Error).back().text, "Cannot find this file:\n\rd.jpg");
  EXPECT_EQ(Rows(), 1);
}

TEST_F(ReviewTest, APermanentDeleteOfTheLastPairEmptiesTheListAndKeepsThePreview) {
  WriteSettings("[Main]\nMoveToRecycle=0\nDeleteWithoutAsking=1\n");
  ScanPlantedCopies();
  ClickRow(1);
  Click("DeleteImageButton1");  // c.jpg: its only pair goes
  EXPECT_FALSE(fs::exists(photos + "c.jpg"));
  EXPECT_FALSE(fs::exists(isolated.DataHome() + "Trash/files/c.jpg"));
  EXPECT_TRUE(BoxesOf(Kind::Confirmation).empty());
  EXPECT_EQ(Rows(), 2);
  EXPECT_EQ(SelectedRow(), 1);
  Click("DeleteImageButton1");  // b.jpg, in both pairs left
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(SelectedRow(), -1);
  EXPECT_TRUE(Text("ImageLabel1").startsWith("JPG  200 x 150"));
}

TEST_F(ReviewTest, AMoveNeverReplacesAFileAndWorksAcrossFileSystems) {
  ScanPlantedCopies();
  const std::string taken = temp.Write("taken/b.jpg", "another picture");
  AnswerFolderBrowser(QString::fromStdString(temp / "taken"), "MoveImageButton2");
  ASSERT_EQ(BoxesOf(Kind::Error).size(), 1u);
  EXPECT_EQ(BoxesOf(Kind::Error).back().text, "Cannot move file b.jpg\n\rError code = 17");
  EXPECT_EQ(ReadFileBytes(taken), "another picture");
  EXPECT_TRUE(fs::exists(photos + "b.jpg"));
  EXPECT_EQ(Rows(), 3);

  // /dev/shm is a file system of its own.
  TempFolder other("/dev/shm");
  const std::string bytes = ReadFileBytes(photos + "b.jpg");
  AnswerFolderBrowser(QString::fromStdString(other.Path()).chopped(1), "MoveImageButton2");
  ASSERT_EQ(BoxesOf(Kind::Information).size(), 1u);
  EXPECT_EQ(BoxesOf(Kind::Information).back().text, "b.jpg moved successfully");
  EXPECT_FALSE(fs::exists(photos + "b.jpg"));
  EXPECT_EQ(ReadFileBytes(other / "b.jpg"), bytes);
  EXPECT_EQ(Rows(), 1);
}

TEST_F(ReviewTest, TheCsvHoldsThePairsInTheirCurrentOrder) {
  ScanPlantedCopies();
  ClickHeader(0);  // c, b, a
  ClickRow(0);
  Click("SwapImagesButton");  // d, c
  const std::string csv = temp / "pairs.csv";
  SaveCsv(temp / "pairs");  // the default extension is added
  const std::string p = photos;
  EXPECT_EQ(ReadFileBytes(csv), "\xEF\xBB\xBFGroup Num;Picture Filename;Similarity;\r\n"
                            "1;" + p + "d.jpg;100;\r\n1;" + p + "c.jpg;100;\r\n"
                            "2;" + p + "b.jpg;100;\r\n2;" + p + "e.jpg;100;\r\n"
                            "3;" + p + "a.jpg;100;\r\n3;" + p + "b.jpg;100;\r\n");

  // An existing file is replaced only on Yes.
  std::ofstream(csv, std::ios::trunc) << "old";
  boxes.Answers = {false};
  SaveCsv(csv);
  EXPECT_EQ(BoxesOf(Kind::Question).back().text,
            "The file \"" + QString::fromStdString(csv) + "\" exists. Replace it with a new one?");
  EXPECT_EQ(ReadFileBytes(csv), "old");
  boxes.Answers = {true};
  SaveCsv(csv);
  EXPECT_TRUE(ReadFileBytes(csv).starts_with("\xEF\xBB\xBFGroup Num"));
}

// During a scan the pair list is empty: the export says so and opens no dialog.
TEST_F(ReviewTest, TheCsvOfAnEmptyListIsRefusedAlsoDuringAScan) {
  Start();
  Find<QAction>("SavelistofdupliacatestoCSV1").trigger();
  ASSERT_EQ(BoxesOf(Kind::Error).size(), 1u);
  EXPECT_EQ(BoxesOf(Kind::Error)[0].text, "重复图片列表为空！");

  ScanPlantedCopies();
  bool dialogDuringScan = false;
  AtPump([] { return true; }, [this, &dialogDuringScan] {
    QTimer::singleShot(0, [&dialogDuringScan] {
      if (QWidget* open = QApplication::activeModalWidget()) {
        dialogDuringScan = true;
        open->close();
      }
    });
    Find<QAction>("SavelistofdupliacatestoCSV1").trigger();
  });
  PressStart();
  EXPECT_FALSE(dialogDuringScan);
  ASSERT_EQ(BoxesOf(Kind::Error).size(), 1u);
  EXPECT_EQ(BoxesOf(Kind::Error)[0].text, "重复图片列表为空！");
  // The box came while the scan ran, before its closing message.
  ASSERT_GE(boxes.Boxes.size(), 2u);
  EXPECT_EQ(boxes.Boxes[0].kind, Kind::Error);
  EXPECT_EQ(boxes.Boxes.back().kind, Kind::Information);
}

}  // namespace
}  // namespace tessimar::testing
