#include <unistd.h>

#include <QAction>
#include <QCheckBox>
#include <QImage>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>

#include "app/main_form_texts.h"
#include "app/window_scan_host.h"
#include "main_form_fixture.h"
#include "matching/match_texts.h"
#include "scan/scan_texts.h"

namespace tessimar::testing {
namespace {

using Kind = RecordingMessageBoxes::Kind;

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

class ScanTest : public MainFormTest {
 protected:
  QString LabelText(const char* name) const { return Find<QLabel>(name).text(); }
  int Rows() const { return Find<QTableView>("ListView1").model()->rowCount(); }
  int SelectedRow() const {
    const auto rows = Find<QTableView>("ListView1").selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
  }
  std::vector<RecordingMessageBoxes::Box> Closing() const { return BoxesOf(Kind::Information); }
  // True once the matching pass has found its first pair.
  std::function<bool()> FirstPairFound() const {
    return [this] { return LabelText("CurrentDuplicatesFoundLabel") == Q(CurrentDuplicatesPrefix) + "1"; };
  }
};

const std::function<bool()> FirstPump = [] { return true; };

TEST_F(ScanTest, RefusesToStartWithoutFoldersOrPictureTypes) {
  struct Row {
    const char* what;
    std::string settings;
    bool dropFolder;
    std::string_view message;
  };
  const Row rows[] = {
      {"placeholder", "", false, NoFoldersMessage},
      {"no picture type", "[Main]\nSearchJPG=0\nSearchBMP=0\nSearchGIF=0\nSearchPNG=0\nSearchTIFF=0\nSearchCR2=0\n"
       "SearchHEIC=0\nSearchAVIF=0\nSearchWEBP=0\n",
       true, NoTypesMessage},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    boxes.Boxes.clear();
    WriteSettings(row.settings);
    Start();
    if (row.dropFolder) Drop({QString::fromStdString(PictureFolder(temp, row.what))});
    PressStart();
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    EXPECT_EQ(boxes.Boxes[0].kind, Kind::Error);
    EXPECT_EQ(boxes.Boxes[0].text, Q(row.message));
    EXPECT_EQ(Find<QPushButton>("StartButton").text(), StartCaption);
    EXPECT_EQ(LabelText("ScannedCountLabel"), "扫描的文件：0");
  }
}

// What the window showed while the scan ran.
struct BusyView {
  std::map<std::string, bool> enabled;
  std::map<std::string, QString> texts;
  int searchPanelHeight = -1;
  int centralPanelHeight = -2;
  QList<int> progressTops;
  bool subfoldersAfterCaptionClick = true;
  int rows = -1;
};

TEST_F(ScanTest, AScanIsBusyUntilItEndsWithItsPairSelected) {
  Start();
  const std::string photos = PictureFolder(temp, "photos");
  Drop({QString::fromStdString(photos)});
  BusyView busy;
  AtPump(FirstPump, [&] {
    for (const char* name :
         {"DirectoriesListBox", "AddFolderButton", "RemoveFolderButton", "MoveFolderUpButton", "MoveFolderDownButton",
          "ClearDirectoriesButton", "SwapImagesButton", "MoveImageButton1", "BrowseImageButton1", "DeleteImageButton1",
          "MoveImageButton2", "BrowseImageButton2", "DeleteImageButton2", "ListView1", "ScanSubfoldersCheckBox",
          "LeftImage", "RightImage", "StartButton"}) {
      busy.enabled[name] = Find<QWidget>(name).isEnabled();
    }
    for (const char* name : {"Settings1", "About1", "StartSearch1", "CheckforUpdates1"}) {
      busy.enabled[name] = Find<QAction>(name).isEnabled();
    }
    busy.texts["StartButton"] = Find<QPushButton>("StartButton").text();
    busy.texts["StartSearch1"] = Find<QAction>("StartSearch1").text();
    for (const char* name :
         {"ScannedCountLabel", "DuplicatesFoundLabel", "ImageLabel1", "ImageLabel2", "PercentLabel", "TimeLabel"}) {
      busy.texts[name] = LabelText(name);
    }
    busy.searchPanelHeight = Find<QWidget>("SearchPanel").height();
    busy.centralPanelHeight = Find<QWidget>("CentralPanel").height();
    for (const char* name : {"FilesCountLabel", "CurrentDuplicatesFoundLabel", "TimeLabel"}) {
      busy.progressTops << Find<QWidget>(name).y();
    }
    QTest::mouseClick(&Find<QLabel>("Label1"), Qt::LeftButton);
    busy.subfoldersAfterCaptionClick = Find<QCheckBox>("ScanSubfoldersCheckBox").isChecked();
    busy.rows = Rows();
  });
  PressStart();

  for (const auto& [name, enabled] : busy.enabled) {
    SCOPED_TRACE(name);
    const bool staysEnabled = name == "StartButton" || name == "StartSearch1" || name == "CheckforUpdates1";
    EXPECT_EQ(enabled, staysEnabled);
  }
  const std::map<std::string, QString> busyTexts = {
      {"StartButton", "停止扫描查找"},
      {"StartSearch1", "停止扫描查找"},
      {"ScannedCountLabel", "      扫描到文件总数: 0"},
      {"DuplicatesFoundLabel", "         发现重复图片有: 0"},
      {"ImageLabel1", "没有图片"},
      {"ImageLabel2", "没有图片"},
      {"PercentLabel", "0%"},
      {"TimeLabel", "        已用时间: 00:00:00"},
  };
  EXPECT_EQ(busy.texts, busyTexts);
  EXPECT_EQ(busy.searchPanelHeight, busy.centralPanelHeight);
  const int top = busy.centralPanelHeight / 2 - 64;
  EXPECT_EQ(busy.progressTops, QList<int>({top, top + 32, top + 64}));
  EXPECT_FALSE(busy.subfoldersAfterCaptionClick);
  EXPECT_EQ(busy.rows, 0);

  const QString files = LabelText("FilesCountLabel");
  const QString pairs = LabelText("CurrentDuplicatesFoundLabel");
  EXPECT_EQ(files, Q(MatchProgressPrefix) + "2 / 2");
  EXPECT_EQ(pairs, Q(CurrentDuplicatesPrefix) + "1");
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_EQ(boxes.Boxes[0].kind, Kind::Information);
  EXPECT_EQ(boxes.Boxes[0].text,
            "扫描查找完毕\n\r\n\r" + files + "\n\r" + pairs + "\n\r" + LabelText("TimeLabel") + "\n\r");
  EXPECT_EQ(LabelText("ScannedCountLabel"), "      扫描到文件总数: 2");
  EXPECT_EQ(LabelText("DuplicatesFoundLabel"), "         发现重复图片有: 1");
  EXPECT_EQ(Rows(), 1);
  EXPECT_EQ(SelectedRow(), 0);
  EXPECT_EQ(Find<QPushButton>("StartButton").text(), "开始扫描查找");
  EXPECT_EQ(Find<QAction>("StartSearch1").text(), "开始扫描查找");
  EXPECT_TRUE(Find<QWidget>("DirectoriesListBox").isEnabled());
  EXPECT_TRUE(Find<QAction>("Settings1").isEnabled());
  EXPECT_EQ(Find<QWidget>("SearchPanel").height(), 0);
}

// The columns, in its parent's coordinates, where a label draws: those holding a pixel
// of another colour than its background, the most frequent one.
std::pair<int, int> InkColumns(QLabel& label) {
  const QImage image = label.grab().toImage();
  std::map<QRgb, int> counts;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) ++counts[image.pixel(x, y)];
  }
  const QRgb background =
      std::max_element(counts.begin(), counts.end(), [](auto a, auto b) { return a.second < b.second; })->first;
  int first = image.width(), last = -1;
  for (int x = 0; x < image.width(); ++x) {
    for (int y = 0; y < image.height(); ++y) {
      if (image.pixel(x, y) == background) continue;
      first = std::min(first, x);
      last = x;
    }
  }
  return {label.x() + first, label.x() + last};
}

// A count of 10,000 or more no longer runs into the pair count; short counts stay where
// they were designed. The host sets the summary as a scan of that size would.
TEST_F(ScanTest, TheSummaryStaysReadableForAnyCount) {
  Start();
  window->resize(1, 1);  // the narrowest summary panel
  QCoreApplication::processEvents();
  auto& scanned = Find<QLabel>("ScannedCountLabel");
  auto& duplicates = Find<QLabel>("DuplicatesFoundLabel");
  WindowScanHost host(*window, {&Find<QLabel>("FilesCountLabel"), &Find<QLabel>("CurrentDuplicatesFoundLabel"),
                                &scanned, &duplicates},
                      Find<QCheckBox>("ScanSubfoldersCheckBox"));
  struct Row {
    const char* files;
    const char* pairs;
    bool designedPlace;  // the pair count stays at x 165
  };
  const Row rows[] = {
      {"0", "0", true},
      {"1,234", "617", true},
      {"47,281", "12,345", false},
      {"1,000,000", "1,000,000", false},
      {"2,147,483,647", "2,147,483,647", false},
      {"2", "1", true},
  };
  const QRect panel = Find<QFrame>("SummaryPanel").contentsRect();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.files);
    // In the order the scan sets them.
    host.SetCaption(Caption::DuplicatesFound, std::string(DuplicatesFoundPrefix) + row.pairs);
    host.SetCaption(Caption::ScannedCount, std::string(ScannedCountPrefix) + row.files);
    ASSERT_EQ(scanned.text(), Q(ScannedCountPrefix) + row.files);
    ASSERT_EQ(duplicates.text(), Q(DuplicatesFoundPrefix) + row.pairs);

    EXPECT_EQ(scanned.pos(), QPoint(20, 14));
    EXPECT_EQ(duplicates.y(), 14);
    if (row.designedPlace) {
      EXPECT_EQ(duplicates.x(), 165);
    }
    for (const QLabel* label : {&scanned, &duplicates}) {
      SCOPED_TRACE(label->objectName().toStdString());
      const QFontMetrics metrics = label->fontMetrics();
      EXPECT_GE(label->width(), metrics.horizontalAdvance(label->text())) << "clipped at the right";
      EXPECT_GE(label->height(), metrics.height()) << "clipped at the bottom";
      EXPECT_TRUE(panel.contains(label->geometry())) << "reaches out of the panel";
    }
    const auto [scannedFirst, scannedLast] = InkColumns(scanned);
    const auto [duplicatesFirst, duplicatesLast] = InkColumns(duplicates);
    EXPECT_LT(scannedFirst, scannedLast);
    EXPECT_LT(scannedLast, duplicatesFirst) << "the texts meet";
  }
}

TEST_F(ScanTest, TheWindowUsesTheUsersCacheAndScansSilentlyWithoutAnUnusableOne) {
  const std::string photos = PictureFolder(temp, "photos");
  struct Row {
    const char* what;
    std::function<void(const std::string& file)> spoil;
    bool usable;
  };
  const Row rows[] = {
      {"no cache yet", [](const std::string&) {}, true},
      {"a folder in its place", [](const std::string& file) { std::filesystem::create_directories(file); }, false},
      {"a text file in its place", [](const std::string& file) { std::ofstream(file) << "notes\n"; }, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string cacheHome = temp / (std::string("cache ") + row.what);
    const std::string file = cacheHome + "/Tessimar/pictures.sqlite";
    std::filesystem::create_directories(cacheHome + "/Tessimar");
    row.spoil(file);
    const ScopedVariable cacheVariable("XDG_CACHE_HOME", cacheHome);
    Start();
    Drop({QString::fromStdString(photos)});
    for (int scan = 0; scan < 2; ++scan) {
      SCOPED_TRACE(scan);
      boxes.Boxes.clear();
      PressStart();
      ASSERT_EQ(boxes.Boxes.size(), 1u);  // the scan's end, and nothing about the cache
      EXPECT_EQ(boxes.Boxes[0].kind, Kind::Information);
      EXPECT_EQ(Rows(), 1);
    }
    window.reset();  // the cache is written whole once the window is gone
    EXPECT_EQ(std::filesystem::is_regular_file(file) && std::filesystem::file_size(file) > 0, row.usable);
  }
}

TEST_F(ScanTest, AStopEndsTheScanAndKeepsThePairsFoundSoFar) {
  struct Case {
    const char* command;
    bool duringMatching;
    int rows;
  };
  const Case cases[] = {
      {"StartButton", false, 0}, {"StartSearch1", false, 0}, {"StartButton", true, 1}, {"StartSearch1", true, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.command) + (c.duringMatching ? " while matching" : " while walking"));
    boxes.Boxes.clear();
    Start();
    Drop({QString::fromStdString(PictureFolder(temp, std::string(c.command) + std::to_string(c.duringMatching), 3))});
    AtPump(c.duringMatching ? FirstPairFound() : FirstPump, [this, command = std::string(c.command)] {
      if (command == "StartButton") {
        PressStart();
      } else {
        Find<QAction>("StartSearch1").trigger();
      }
    });
    PressStart();
    const auto closing = Closing();
    ASSERT_EQ(closing.size(), 1u);
    EXPECT_TRUE(closing[0].text.startsWith("扫描查找被中断！\n\r\n\r")) << closing[0].text.toStdString();
    EXPECT_EQ(Rows(), c.rows);
    EXPECT_EQ(SelectedRow(), c.rows - 1);
    EXPECT_EQ(LabelText("DuplicatesFoundLabel"), Q(DuplicatesFoundPrefix) + QString::number(c.rows));
    EXPECT_EQ(Find<QPushButton>("StartButton").text(), StartCaption);
  }
}

TEST_F(ScanTest, APressDuringAScanNeverStartsAnother) {
  Start();
  Drop({QString::fromStdString(PictureFolder(temp, "photos", 2))});
  AtPump(FirstPump, [this] {
    PressStart();
    PressStart();
  });
  PressStart();
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_TRUE(boxes.Boxes[0].text.startsWith("扫描查找被中断！"));

  PressStart();
  ASSERT_EQ(boxes.Boxes.size(), 2u);
  EXPECT_TRUE(boxes.Boxes[1].text.startsWith("扫描查找完毕"));
  EXPECT_EQ(Rows(), 2);  // the copy, and c2 as a look-alike of c1
}

// The whole file system behind one listed link: the window answers all along, and a stop
// ends the scan at once.
TEST_F(ScanTest, AListedLinkToTheRootStaysResponsiveAndStopsAtOnce) {
  using Clock = std::chrono::steady_clock;
  constexpr int PumpsBeforeStop = 300;
  ASSERT_EQ(::symlink("/", (temp / "root").c_str()), 0);
  Start();
  Drop({QString::fromStdString(temp / "root")});
  int pumps = 0;
  Clock::time_point last = Clock::now(), stoppedAt;
  Clock::duration longestGap{};
  AtPump(
      [&] {
        longestGap = std::max(longestGap, Clock::now() - last);
        last = Clock::now();
        return ++pumps == PumpsBeforeStop;
      },
      [&] {
        stoppedAt = Clock::now();
        PressStart();
      });
  PressStart();
  EXPECT_EQ(pumps, PumpsBeforeStop);
  EXPECT_LT(Clock::now() - stoppedAt, std::chrono::seconds(2));
  EXPECT_LT(longestGap, std::chrono::seconds(1));
  ASSERT_EQ(Closing().size(), 1u);
  EXPECT_TRUE(Closing()[0].text.startsWith("扫描查找被中断！"));
  EXPECT_EQ(Rows(), 0);
}

TEST_F(ScanTest, TheElapsedTimeAdvancesEverySecond) {
  Start();
  Drop({QString::fromStdString(PictureFolder(temp, "photos"))});
  QString ticked;
  // Holds the scan in one of its pumps, as a modal window opened during a scan does.
  AtPump(FirstPump, [&] {
    EXPECT_TRUE(QTest::qWaitFor([&] { return !LabelText("TimeLabel").endsWith("00:00:00"); }, DeadlineMs));
    ticked = LabelText("TimeLabel");
    PressStart();
  });
  PressStart();
  EXPECT_TRUE(QRegularExpression("^        已用时间: 00:00:0[1-3]$").match(ticked).hasMatch()) << ticked.toStdString();
  ASSERT_EQ(Closing().size(), 1u);
  EXPECT_TRUE(Closing()[0].text.endsWith("\n\r" + ticked + "\n\r"));
}

TEST_F(ScanTest, ClosingDuringAScanStopsItAndReleasesThePicturesOnceItHasUnwound) {
  struct Case {
    const char* how;
    bool duringMatching;
  };
  for (const Case c : {Case{"close box", false}, Case{"close box", true}, Case{"Exit1", false}, Case{"Exit1", true}}) {
    SCOPED_TRACE(std::string(c.how) + (c.duringMatching ? " while matching" : " while walking"));
    boxes.Boxes.clear();
    std::filesystem::remove(IniPath());
    Start();
    Drop({QString::fromStdString(PictureFolder(temp, std::string(c.how) + std::to_string(c.duringMatching), 3))});
    int pairsWhenClosed = -1;
    AtPump(c.duringMatching ? FirstPairFound() : FirstPump, [&, how = std::string(c.how)] {
      if (how == "Exit1") {
        Find<QAction>("Exit1").trigger();
      } else {
        window->close();
      }
      pairsWhenClosed = window->Pictures().PairCount();
    });
    PressStart();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(pairsWhenClosed, c.duringMatching ? 1 : 0);
    EXPECT_TRUE(boxes.Boxes.empty());
    EXPECT_TRUE(std::filesystem::is_regular_file(IniPath()));
    EXPECT_EQ(Rows(), 0);
    const Catalogue& pictures = window->Pictures();
    EXPECT_TRUE(pictures.PicList.empty());
    EXPECT_TRUE(pictures.PathList.empty());
    EXPECT_TRUE(pictures.PicturePairs.empty());
    EXPECT_EQ(pictures.LastPairIndex, -1);
  }
}

// The window analyses on one worker per core. Whenever the stop or the close comes, while
// the pass compares or while it waits for a picture (a large one takes a while), the scan
// ends cleanly with the pairs it had, in the order the whole scan finds them.
TEST_F(ScanTest, AStopOrACloseAtAnyMomentOfAParallelScanEndsItCleanly) {
  const std::string photos = PictureFolder(temp, "photos", 8);
  QImage large(4000, 3000, QImage::Format_RGB32);
  large.fill(QColor(40, 120, 200));
  {
    QPainter painter(&large);
    painter.setBrush(Qt::yellow);
    for (int i = 0; i < 12; ++i) painter.drawEllipse(QPoint(300 * i + 200, 250 * i + 100), 260, 180);
  }
  ASSERT_TRUE(large.save(QString::fromStdString(photos + "large.jpg"), "JPG"));
  Start();
  Drop({QString::fromStdString(photos)});
  int matchingPumps = 0;
  AtPump(
      [&] {
        matchingPumps +=
            Find<QPushButton>("StartButton").text() == StopCaption && window->Pictures().PairListCapacity > 0;
        return false;
      },
      [] {});
  PressStart();
  StopPumpWatch();
  ASSERT_EQ(Closing().size(), 1u);
  ASSERT_TRUE(Closing()[0].text.startsWith("扫描查找完毕"));
  const std::vector<TPicturePair> all = window->Pictures().PicturePairs;
  ASSERT_GE(all.size(), 2u);
  RecordProperty("MatchingPumps", matchingPumps);
  int acted = 0;

  for (const bool close : {false, true}) {
    for (const int moment : {1, 2, 3, 4, 5, 7, 10, 14, 20, 30}) {
      SCOPED_TRACE(std::string(close ? "close" : "stop") + " at matching pump " + std::to_string(moment));
      boxes.Boxes.clear();
      Start();
      Drop({QString::fromStdString(photos)});
      int pumps = 0;
      int pairsThen = -1;
      AtPump(
          [&] {
            return Find<QPushButton>("StartButton").text() == StopCaption && window->Pictures().PairListCapacity > 0 &&
                   ++pumps == moment;
          },
          [&] {
            pairsThen = window->Pictures().PairCount();
            close ? static_cast<void>(window->close()) : PressStart();
          });
      PressStart();
      StopPumpWatch();
      const Catalogue& pictures = window->Pictures();
      acted += pairsThen >= 0;
      if (pairsThen < 0) {  // the scan ended first
        ASSERT_EQ(Closing().size(), 1u);
        EXPECT_TRUE(Closing()[0].text.startsWith("扫描查找完毕"));
        continue;
      }
      if (close) {
        EXPECT_FALSE(window->isVisible());
        EXPECT_TRUE(boxes.Boxes.empty());
        EXPECT_TRUE(pictures.PicList.empty());
        EXPECT_TRUE(pictures.PicturePairs.empty());
        EXPECT_EQ(pictures.LastPairIndex, -1);
        continue;
      }
      ASSERT_EQ(Closing().size(), 1u);
      EXPECT_TRUE(Closing()[0].text.startsWith("扫描查找被中断！"));
      EXPECT_EQ(Rows(), pictures.PairCount());
      EXPECT_GE(pictures.PairCount(), pairsThen);
      ASSERT_LE(pictures.PicturePairs.size(), all.size());
      for (std::size_t i = 0; i < pictures.PicturePairs.size(); ++i) {
        EXPECT_EQ(pictures.PicturePairs[i].PicIndex1, all[i].PicIndex1);
        EXPECT_EQ(pictures.PicturePairs[i].PicIndex2, all[i].PicIndex2);
        EXPECT_EQ(pictures.PicturePairs[i].Similarity, all[i].Similarity);
      }
    }
  }
  EXPECT_GE(acted, 8);
  window.reset();
}

TEST_F(ScanTest, AFolderDroppedDuringAScanJoinsTheListButNotTheScan) {
  Start();
  const QString first = QString::fromStdString(PictureFolder(temp, "first"));
  const QString second = QString::fromStdString(PictureFolder(temp, "second"));
  Drop({first});
  AtPump(FirstPump, [&] { Drop({second}, "ListView1"); });
  PressStart();
  EXPECT_EQ(Folders(), QStringList({first, second}));
  EXPECT_EQ(LabelText("ScannedCountLabel"), Q(ScannedCountPrefix) + "2");
  EXPECT_TRUE(Find<QWidget>("DirectoriesListBox").isEnabled());
}

}  // namespace
}  // namespace tessimar::testing
