#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <filesystem>

#include <sys/stat.h>

#include "app/main_form_texts.h"
#include "app/panel.h"
#include "main_form_fixture.h"

namespace tessimar::testing {
namespace {

const QColor PanelColour(0x60, 0x6A, 0x85);

TEST_F(MainFormTest, StartsWithItsRegionsAtTheirDesignedSizes) {
  Start();
  EXPECT_EQ(window->windowTitle(), "Tessimar");
  EXPECT_EQ(window->centralWidget()->size(), QSize(1035, 861));
  struct Row {
    const char* name;
    QSize size;
  };
  const Row regions[] = {
      {"TopPanel", {1035, 157}},      {"Splitter1", {1035, 12}},        {"CentralPanel", {1035, 476}},
      {"Splitter2", {1035, 12}},      {"BottomPanel", {1035, 204}},     {"Panel2", {1035, 63}},
      {"SummaryPanel", {1035, 52}},   {"SearchPanel", {1035, 0}},       {"ImagePanel1", {487, 476}},
      {"BetweenImagesPanel", {79, 476}}, {"ImagePanel2", {469, 476}}, {"ImageTextPanel1", {485, 97}},
  };
  for (const Row& row : regions) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Find<QWidget>(row.name).size(), row.size);
  }
  for (const char* name : {"Panel2", "CentralPanel", "SummaryPanel", "SearchPanel"}) {
    SCOPED_TRACE(name);
    QWidget& panel = Find<QWidget>(name);
    EXPECT_TRUE(panel.autoFillBackground());
    EXPECT_EQ(panel.palette().color(QPalette::Window), PanelColour);
  }
}

TEST_F(MainFormTest, PlacesTheControlsWhereTheyWereDesigned) {
  Start();
  struct Row {
    const char* name;
    QRect geometry;
    int fontPixels;
  };
  const Row controls[] = {
      {"FoldersCaptionLabel", {20, 12, -1, -1}, 28},
      {"AddFolderButton", {143, 5, 47, 47}, 14},
      {"RemoveFolderButton", {197, 5, 48, 47}, 14},
      {"MoveFolderUpButton", {252, 5, 47, 47}, 14},
      {"MoveFolderDownButton", {307, 5, 47, 47}, 14},
      {"ClearDirectoriesButton", {362, 5, 47, 47}, 14},
      {"StartButton", {433, 8, 148, 44}, 14},
      {"ScanSubfoldersCheckBox", {625, 18, 26, 23}, 14},
      {"Label1", {647, 20, -1, -1}, 15},
      {"ScannedCountLabel", {20, 14, -1, -1}, 15},
      {"DuplicatesFoundLabel", {165, 14, -1, -1}, 15},
      {"ImageButtonsPanel1", {(485 - 179) / 2, 21, 179, 68}, 14},
      {"MoveImageButton1", {12, 4, 47, 47}, 14},
      {"BrowseImageButton2", {67, 4, 47, 47}, 14},
      {"DeleteImageButton2", {122, 4, 47, 47}, 14},
      {"SimilarityLabel", {4, 21, 71, 17}, 15},
      {"PercentLabel", {4, 46, 71, 42}, 23},
      {"SwapImagesButton", {13, 95, 47, 48}, 14},
      {"FilesCountLabel", {-1, -1, -1, -1}, 23},
      {"DirectoriesListBox", {-1, -1, -1, -1}, 15},
      {"ImageLabel1", {0, 0, 485, 29}, 14},
  };
  for (const Row& row : controls) {
    SCOPED_TRACE(row.name);
    const QWidget& control = Find<QWidget>(row.name);
    if (row.geometry.x() >= 0) {
      EXPECT_EQ(control.pos(), row.geometry.topLeft());
    }
    if (row.geometry.width() >= 0) {
      EXPECT_EQ(control.size(), row.geometry.size());
    }
    EXPECT_EQ(control.font().pixelSize(), row.fontPixels);
  }
}

TEST_F(MainFormTest, GlyphButtonsAreNamedByTheirHints) {
  Start();
  const std::pair<const char*, const char*> rows[] = {
      {"AddFolderButton", "添加文件夹"},   {"RemoveFolderButton", "删除选定的文件夹"}, {"MoveFolderUpButton", "上移"},
      {"MoveFolderDownButton", "下移"},    {"ClearDirectoriesButton", "清除所有"},     {"SwapImagesButton", "交换图像"},
      {"MoveImageButton1", "移动文件"},    {"BrowseImageButton1", "浏览文件"},         {"DeleteImageButton2", "删除文件"},
  };
  for (const auto& [name, hint] : rows) {
    SCOPED_TRACE(name);
    const QWidget& button = Find<QWidget>(name);
    EXPECT_EQ(button.toolTip(), QString::fromUtf8(hint));
    EXPECT_EQ(button.accessibleName(), QString::fromUtf8(hint));
  }
}

// WCAG's contrast ratio of two colours, from 1 (none) to 21.
double ContrastRatio(const QColor& a, const QColor& b) {
  const auto luminance = [](const QColor& colour) {
    const auto linear = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
  };
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The glyphs are white: what lies behind them under the pointer must stand off from white
// (3:1 for graphics) and still show that the pointer is there.
TEST_F(MainFormTest, GlyphButtonsKeepTheirGlyphVisibleUnderThePointer) {
  Start();
  for (const char* name : {"AddFolderButton", "ClearDirectoriesButton", "SwapImagesButton", "DeleteImageButton1"}) {
    SCOPED_TRACE(name);
    auto& button = Find<QToolButton>(name);
    const QPoint beside(5, button.height() / 2);
    QTest::mouseMove(&button, beside);
    QTRY_VERIFY_WITH_TIMEOUT(button.underMouse(), DeadlineMs);
    const QColor behind = button.grab().toImage().pixelColor(beside);
    EXPECT_GE(ContrastRatio(behind, Qt::white), 3.0) << behind.name().toStdString();
    EXPECT_NE(behind, PanelColour);
  }
}

// Each region is a named pane, not a frame; the lists and the splitters are named too.
TEST_F(MainFormTest, RegionsListsAndSplittersAreNamedForScreenReaders) {
  Start();
  QStringList names;
  const auto nameOf = [&names](QWidget& widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&widget);
    const QString name = accessible->text(QAccessible::Name);
    EXPECT_FALSE(name.isEmpty());
    names << name;
    return accessible;
  };
  const QList<Panel*> panels = window->findChildren<Panel*>();
  EXPECT_EQ(panels.size(), 13);
  for (Panel* panel : panels) {
    SCOPED_TRACE(panel->objectName().toStdString());
    EXPECT_EQ(nameOf(*panel)->role(), QAccessible::Pane);
  }
  const std::pair<const char*, QAccessible::Role> others[] = {
      {"DirectoriesListBox", QAccessible::List},
      {"ListView1", QAccessible::Table},
      {"Splitter1", QAccessible::Grip},
      {"Splitter2", QAccessible::Grip},
  };
  for (const auto& [name, role] : others) {
    SCOPED_TRACE(name);
    EXPECT_EQ(nameOf(Find<QWidget>(name))->role(), role);
  }
  names.removeDuplicates();
  EXPECT_EQ(names.size(), panels.size() + static_cast<qsizetype>(std::size(others)));
}

TEST_F(MainFormTest, StartsIdleWithTheStartupHintAndTheStoredSubfolderSwitch) {
  struct Row {
    const char* settings;
    bool subfolders;
  };
  for (const Row& row : {Row{"", true}, Row{"[Main]\nScanSubfolders=0\n", false}}) {
    SCOPED_TRACE(row.settings);
    WriteSettings(row.settings);
    Start();
    EXPECT_EQ(Find<QCheckBox>("ScanSubfoldersCheckBox").isChecked(), row.subfolders);
    EXPECT_EQ(Folders(), QStringList({"", "", StartupHint}));
    EXPECT_FALSE(Find<QListWidget>("DirectoriesListBox").isEnabled());
    EXPECT_EQ(Find<QPushButton>("StartButton").text(), "开始扫描查找");
    EXPECT_TRUE(Find<QWidget>("AddFolderButton").isEnabled());
    EXPECT_EQ(Find<QLabel>("ScannedCountLabel").text(), "扫描的文件：0");
    EXPECT_EQ(Find<QLabel>("DuplicatesFoundLabel").text(), "发现重复：0");
    EXPECT_EQ(Find<QLabel>("TimeLabel").text(), "已用时间: 00:00:00");
  }
}

TEST_F(MainFormTest, TheImagePanelsFollowTheWindowWidth) {
  Start();
  for (int width : {785, 1035, 1600}) {
    SCOPED_TRACE(width);
    window->resize(width, 700);
    QCoreApplication::processEvents();
    const int central = Find<QWidget>("CentralPanel").width();
    ASSERT_EQ(central, width);
    const QRect left = Find<QWidget>("ImagePanel1").geometry();
    const QRect between = Find<QWidget>("BetweenImagesPanel").geometry();
    const QRect right = Find<QWidget>("ImagePanel2").geometry();
    EXPECT_EQ(left.width(), (central - 60) / 2);
    EXPECT_EQ(between.left(), left.right() + 1);
    EXPECT_EQ(between.width(), 79);
    EXPECT_EQ(right.left(), between.right() + 1);
    EXPECT_EQ(right.right(), central - 1);
    EXPECT_EQ(Find<QWidget>("SearchPanel").height(), 0);
  }
}

// The minimum holds for the whole window, frame included, not for its client area alone.
TEST_F(MainFormTest, TheWholeWindowIsAtLeast785By615) {
  Start();
  const QSize frame = window->frameGeometry().size() - window->size();
  EXPECT_EQ(window->minimumSize() + frame, QSize(785, 615));
  window->resize(300, 200);
  EXPECT_EQ(window->frameGeometry().size(), QSize(785, 615));
  window->resize(900, 700);
  EXPECT_EQ(window->size(), QSize(900, 700));
}

TEST_F(MainFormTest, MenuItemsCarryTheirCaptions) {
  Start();
  const std::pair<const char*, const char*> rows[] = {
      {"StartSearch1", "开始扫描查找"}, {"SavelistofdupliacatestoCSV1", "将重复列表保存到 CSV"},
      {"BatchMenuItem", "批量处理重复图片…"}, {"UndoBatchMenuItem", "撤销上次批量处理"},
      {"Exit1", "退出"},               {"Settings1", "设置"},
      {"Howtouse1", "如何使用"},       {"CheckforUpdates1", "检查更新"},
      {"Visitprogramswebsite1", "访问官方网站"}, {"About1", "关于"},
      {"Donate1", "捐助"},
  };
  for (const auto& [name, caption] : rows) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Find<QAction>(name).text(), QString::fromUtf8(caption));
  }
  EXPECT_EQ(Find<QMenu>("File1").title(), "文件");
  EXPECT_EQ(Find<QMenu>("Help1").title(), "帮助");
}

TEST_F(MainFormTest, MenuPagesOpenInTheBrowser) {
  Start();
  const std::pair<const char*, QString> rows[] = {
      {"Howtouse1", "http://" TESSIMAR_SITE_HOST "/photo-how-to-use.html"},
      {"Visitprogramswebsite1", "http://" TESSIMAR_SITE_HOST "/photo.html"},
      {"Donate1", "https://" TESSIMAR_PAYMENT_HOST "/"},
  };
  for (const auto& [name, page] : rows) {
    SCOPED_TRACE(name);
    urls.Opened.clear();
    Find<QAction>(name).trigger();
    EXPECT_EQ(urls.Opened, QList<QUrl>({QUrl(page)}));
  }
}

TEST_F(MainFormTest, MenuOpensTheDialogsModally) {
  Start(QUrl(QStringLiteral("http://127.0.0.1:9/update/photo_version.txt")));
  const std::pair<const char*, const char*> rows[] = {
      {"Settings1", "SettingsForm"}, {"About1", "AboutForm"}, {"CheckforUpdates1", "UpdateForm"}};
  for (const auto& [item, form] : rows) {
    SCOPED_TRACE(item);
    QString opened;
    QTimer::singleShot(0, [&opened] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        opened = modal->objectName();
        modal->close();
      }
    });
    Find<QAction>(item).trigger();
    EXPECT_EQ(opened, form);
  }
}

TEST_F(MainFormTest, ClickingTheCaptionTogglesTheSubfolderSwitch) {
  Start();
  auto& box = Find<QCheckBox>("ScanSubfoldersCheckBox");
  for (bool expected : {false, true}) {
    QTest::mouseClick(&Find<QLabel>("Label1"), Qt::LeftButton);
    EXPECT_EQ(box.isChecked(), expected);
  }
}

TEST_F(MainFormTest, ClosingSavesTheSettings) {
  WriteSettings("[Main]\nMinPicWidth=321\n[Other]\nKept=yes\n");
  Start();
  Find<QCheckBox>("ScanSubfoldersCheckBox").setChecked(false);
  EXPECT_TRUE(window->close());
  EXPECT_FALSE(window->isVisible());
  const std::string saved = ReadSettingsFile();
  EXPECT_NE(saved.find("ScanSubfolders=0"), std::string::npos) << saved;
  EXPECT_NE(saved.find("MinPicWidth=321"), std::string::npos) << saved;
  EXPECT_NE(saved.find("Kept=yes"), std::string::npos) << saved;
  EXPECT_TRUE(boxes.Boxes.empty());
}

// Run as root too: neither a folder nor a FIFO in the file's place can be written over.
TEST_F(MainFormTest, ASettingsPathThatIsNoFileGivesDefaultsAndAFailedSaveIsShownOnceAsTheWindowCloses) {
  for (const char* what : {"folder", "fifo"}) {
    for (const char* how : {"close box", "Exit1"}) {
      SCOPED_TRACE(std::string(what) + ", " + how);
      std::filesystem::remove(IniPath());
      if (std::string(what) == "folder") {
        std::filesystem::create_directory(IniPath());
      } else {
        ASSERT_EQ(::mkfifo(IniPath().c_str(), 0600), 0);
      }
      boxes.Boxes.clear();
      Start();
      EXPECT_TRUE(Find<QCheckBox>("ScanSubfoldersCheckBox").isChecked());
      if (std::string(how) == "Exit1") {
        Find<QAction>("Exit1").trigger();
      } else {
        EXPECT_TRUE(window->close());
      }
      EXPECT_FALSE(window->isVisible());
      ASSERT_EQ(boxes.Boxes.size(), 1u);
      EXPECT_EQ(boxes.Boxes[0].kind, RecordingMessageBoxes::Kind::Error);
      EXPECT_EQ(boxes.Boxes[0].text, QString::fromStdString("Unable to write to " + IniPath()));
      window.reset();
      EXPECT_EQ(boxes.Boxes.size(), 1u);
    }
  }
}

// Answers every request for the version file with "1.2", the version of this build.
class VersionHost {
 public:
  VersionHost() {
    server_.listen(QHostAddress::LocalHost);
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
      while (QTcpSocket* socket = server_.nextPendingConnection()) {
        ++Requests;
        QObject::connect(socket, &QTcpSocket::readyRead, [socket] {
          if (!socket->readAll().contains("\r\n\r\n")) return;
          socket->write("HTTP/1.1 200 OK\r\nContent-Length: 3\r\nConnection: close\r\n\r\n1.2");
          socket->disconnectFromHost();
        });
      }
    });
  }
  QUrl Url() const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1/update/photo_version.txt").arg(server_.serverPort()));
  }
  int Requests = 0;

 private:
  QTcpServer server_;
};

TEST_F(MainFormTest, ChecksForUpdatesAtStartOnlyWhenEnabled) {
  for (int enabled : {1, 0}) {
    SCOPED_TRACE(enabled);
    VersionHost host;
    WriteSettings("[Main]\nAutoCheckUpdates=" + std::to_string(enabled) + "\n");
    Start(host.Url());
    auto& update = Find<QDialog>("UpdateForm");
    if (enabled == 1) {
      EXPECT_TRUE(QTest::qWaitFor([&] { return host.Requests == 1 && !update.isVisible(); }, DeadlineMs));
    } else {
      QTest::qWait(300);
      EXPECT_EQ(host.Requests, 0);
    }
    window.reset();
  }
}

}  // namespace
}  // namespace tessimar::testing
