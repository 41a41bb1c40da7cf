#include "widgets/folder_dialog.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAbstractFileIconProvider>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <functional>
#include <optional>
#include <ostream>

#include "qt_printers.h"
#include "temp_folder.h"
#include "widgets/window_locale.h"

namespace tessimar {
namespace {

using testing::TempFolder;

constexpr int DeadlineMs = 10000;

QString NoSlash(const std::string& folder) {
  return QDir::cleanPath(QString::fromStdString(folder));
}

// What the open browser looked like, read while it was open.
struct Seen {
  QString windowTitle;
  QString title;  // empty when no title label exists
  QString directory;
  QPoint corner;
  QSize size;
  bool readOnly = false;
};

// Runs Execute while acting on the open browser: act gets the browser and must accept or
// reject it. A deadline rejects whatever is left open.
class BrowserDriver {
 public:
  bool Execute(TFolderDialog& dialog, const std::function<void(QFileDialog&)>& act) {
    QTimer::singleShot(0, [this, act] {
      auto* browser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (browser == nullptr) return;
      Observed = Read(*browser);
      act(*browser);
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [] {
      if (auto* open = QApplication::activeModalWidget()) open->close();
    });
    deadline.start(DeadlineMs);
    const bool result = dialog.Execute();
    EXPECT_TRUE(Observed.has_value()) << "no browser opened";
    EXPECT_TRUE(deadline.isActive()) << "the browser was left open";
    return result;
  }

  std::optional<Seen> Observed;

 private:
  static Seen Read(QFileDialog& browser) {
    auto* title = browser.findChild<QLabel*>(QStringLiteral("TitleLabel"));
    return {browser.windowTitle(),
            title != nullptr && title->isVisible() ? title->text() : QString(),
            QDir::cleanPath(browser.directory().absolutePath()),
            browser.frameGeometry().topLeft(),
            browser.frameGeometry().size(),
            browser.testOption(QFileDialog::ReadOnly)};
  }
};

void Reject(QFileDialog& browser) { browser.reject(); }
// Presses the browser's Choose button, as the user would.
void AcceptAsOpened(QFileDialog& browser) {
  auto* buttons = browser.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
  ASSERT_NE(buttons, nullptr);
  QTest::mouseClick(buttons->button(QDialogButtonBox::Open), Qt::LeftButton);
  if (browser.isVisible()) browser.reject();
}
std::function<void(QFileDialog&)> Choose(const QString& folder) {
  return [folder](QFileDialog& browser) {
    browser.selectFile(folder);
    AcceptAsOpened(browser);
  };
}

TEST(FolderDialogTest, PropertiesStartAtTheirDefaults) {
  TFolderDialog dialog;
  EXPECT_EQ(dialog.Caption(), QString());
  EXPECT_EQ(dialog.Title(), QString());
  EXPECT_EQ(dialog.Directory(), QDir::currentPath());
  EXPECT_EQ(dialog.ImageIndex(), 0);
  EXPECT_EQ(dialog.Options(), TFolderDialog::fdoNewDialogStyle);
  EXPECT_EQ(dialog.DialogPosition(), TFolderDialog::fdpDefault);
  EXPECT_EQ(dialog.DialogX(), 0);
  EXPECT_EQ(dialog.DialogY(), 0);
  EXPECT_EQ(dialog.Version(), QStringLiteral("1.1.0.2"));
}

TEST(FolderDialogTest, VersionIgnoresAssignment) {
  TFolderDialog dialog;
  for (const char* text : {"2.0", "", "1.1.0.3"}) {
    SCOPED_TRACE(text);
    dialog.SetVersion(QString::fromLatin1(text));
    EXPECT_EQ(dialog.Version(), QStringLiteral("1.1.0.2"));
    EXPECT_TRUE(dialog.setProperty("Version", QString::fromLatin1(text)));
    EXPECT_EQ(dialog.property("Version").toString(), QStringLiteral("1.1.0.2"));
  }
}

TEST(FolderDialogTest, TheMainWindowsOptionsGiveItsBrowseFlags) {
  const TFolderDialog::TFolderOptions options =
      TFolderDialog::fdoReturnOnlyFSDirs | TFolderDialog::fdoNewDialogStyle;
  EXPECT_EQ(options.toInt(), 0x41);
}

TEST(FolderDialogTest, OpensAtDirectoryWithCaptionAndTitle) {
  TempFolder folder;
  TFolderDialog dialog;
  dialog.SetDirectory(NoSlash(folder.Path()));
  dialog.SetCaption(QStringLiteral("选择文件夹"));
  dialog.SetTitle(QStringLiteral("要扫描的文件夹"));
  BrowserDriver driver;
  EXPECT_FALSE(driver.Execute(dialog, Reject));
  ASSERT_TRUE(driver.Observed);
  EXPECT_EQ(driver.Observed->windowTitle, QStringLiteral("选择文件夹"));
  EXPECT_EQ(driver.Observed->title, QStringLiteral("要扫描的文件夹"));
  EXPECT_EQ(driver.Observed->directory, NoSlash(folder.Path()));
}

TEST(FolderDialogTest, EmptyCaptionAndTitleAddNothing) {
  TFolderDialog dialog;
  BrowserDriver driver;
  EXPECT_FALSE(driver.Execute(dialog, Reject));
  ASSERT_TRUE(driver.Observed);
  EXPECT_EQ(driver.Observed->title, QString());
  EXPECT_NE(driver.Observed->windowTitle, QStringLiteral("选择文件夹"));
}

// The choice comes back without a trailing slash, except the root; the next run opens there.
TEST(FolderDialogTest, AChoiceBecomesDirectoryAndTheNextStartingPoint) {
  TempFolder folder;
  const QString child = NoSlash(folder.MakeFolder("照片 2024"));
  struct Case {
    QString chosen;
    int imageIndex;
  };
  const Case cases[] = {{child, QAbstractFileIconProvider::Folder},
                        {QStringLiteral("/"), QAbstractFileIconProvider::Drive}};
  for (const Case& row : cases) {
    SCOPED_TRACE(row.chosen.toStdString());
    TFolderDialog dialog;
    dialog.SetDirectory(NoSlash(folder.Path()));
    BrowserDriver driver;
    ASSERT_TRUE(driver.Execute(dialog, Choose(row.chosen)));
    EXPECT_EQ(dialog.Directory(), row.chosen);
    EXPECT_EQ(dialog.ImageIndex(), row.imageIndex);
    BrowserDriver next;
    EXPECT_FALSE(next.Execute(dialog, Reject));
    ASSERT_TRUE(next.Observed);
    EXPECT_EQ(next.Observed->directory, row.chosen);
    EXPECT_EQ(dialog.Directory(), row.chosen);
    EXPECT_EQ(dialog.ImageIndex(), row.imageIndex);
  }
}

TEST(FolderDialogTest, AcceptingAtOnceChoosesThePreselectedFolder) {
  TempFolder folder;
  TFolderDialog dialog;
  dialog.SetDirectory(NoSlash(folder.Path()));
  BrowserDriver driver;
  ASSERT_TRUE(driver.Execute(dialog, AcceptAsOpened));
  EXPECT_EQ(dialog.Directory(), NoSlash(folder.Path()));
}

// A Directory naming no folder becomes the current directory before the browser opens,
// and stays so after a cancel; an existing folder stays as it was.
TEST(FolderDialogTest, CancelKeepsDirectoryUnlessItNamedNoFolder) {
  TempFolder folder;
  const QString existing = NoSlash(folder.MakeFolder("kept"));
  const QString file = QString::fromStdString(folder.Write("note.txt", "x"));
  struct Case {
    QString directory;
    QString afterwards;
  };
  const Case cases[] = {
      {existing, existing},
      {existing + QStringLiteral("/missing"), QDir::currentPath()},
      {file, QDir::currentPath()},
      {QString(), QDir::currentPath()},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.directory.toStdString());
    TFolderDialog dialog;
    dialog.SetDirectory(row.directory);
    BrowserDriver driver;
    EXPECT_FALSE(driver.Execute(dialog, Reject));
    ASSERT_TRUE(driver.Observed);
    EXPECT_EQ(driver.Observed->directory, row.afterwards);
    EXPECT_EQ(dialog.Directory(), row.afterwards);
    EXPECT_EQ(dialog.ImageIndex(), 0);
  }
}

TEST(FolderDialogTest, NewFolderButtonOnlyWithTheNewStyle) {
  struct Case {
    TFolderDialog::TFolderOptions options;
    bool readOnly;
  };
  const Case cases[] = {
      {TFolderDialog::fdoNewDialogStyle, false},
      {TFolderDialog::fdoReturnOnlyFSDirs | TFolderDialog::fdoNewDialogStyle, false},
      {TFolderDialog::fdoNewDialogStyle | TFolderDialog::fdoNoNewFolderButton, true},
      {TFolderDialog::fdoReturnOnlyFSDirs, true},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.options.toInt());
    TFolderDialog dialog;
    dialog.SetOptions(row.options);
    BrowserDriver driver;
    driver.Execute(dialog, Reject);
    ASSERT_TRUE(driver.Observed);
    EXPECT_EQ(driver.Observed->readOnly, row.readOnly);
  }
}

// The detail view reads as a Chinese file dialog: folders are "文件夹", and dates follow
// the user's locale, or the Chinese one where the user has chosen none.
TEST(FolderDialogTest, TheDetailViewNamesFoldersAndDatesInTheWindowsLanguage) {
  TempFolder folder;
  const std::string child = folder.MakeFolder("照片");
  const QDateTime modified(QDate(2024, 3, 5), QTime(14, 7));
  const timespec times[2] = {{modified.toSecsSinceEpoch(), 0}, {modified.toSecsSinceEpoch(), 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, child.c_str(), times, 0), 0);
  TFolderDialog dialog;
  dialog.SetDirectory(NoSlash(folder.Path()));
  QString type, date;
  BrowserDriver driver;
  driver.Execute(dialog, [&](QFileDialog& browser) {
    auto* details = browser.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (details != nullptr) {
      const QAbstractItemModel& files = *details->model();
      // The folder is read in the background.
      EXPECT_TRUE(QTest::qWaitFor([&] { return files.rowCount(details->rootIndex()) == 1; }, DeadlineMs));
      const QModelIndex row = files.index(0, 0, details->rootIndex());
      type = files.index(0, 2, details->rootIndex()).data().toString();
      date = files.index(0, 3, details->rootIndex()).data().toString();
      EXPECT_EQ(row.data().toString(), QStringLiteral("照片"));
    }
    Reject(browser);
  });
  EXPECT_EQ(type, QStringLiteral("文件夹"));
  EXPECT_EQ(date, WindowLocale().toString(modified, QLocale::ShortFormat));
  if (QLocale::system().language() == QLocale::C) {
    EXPECT_EQ(date, QStringLiteral("2024/3/5 14:07"));
  }
}

TEST(FolderDialogTest, OpensWhereDialogPositionSays) {
  QWidget ownerWindow;
  ownerWindow.setGeometry(300, 200, 400, 300);
  ownerWindow.show();
  QWidget ownerChild(&ownerWindow);
  QObject notAWindow;
  const QPoint screenCentre = QGuiApplication::primaryScreen()->geometry().center();
  const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
  struct Case {
    const char* what;
    QObject* owner;
    TFolderDialog::TDialogPosition position;
    int x, y;
    std::function<QPoint(const Seen&)> expected;
  };
  const Case cases[] = {
      {"XY negative x", nullptr, TFolderDialog::fdpXY, -5, 40,
       [](const Seen&) { return QPoint(0, 40); }},
      {"XY", nullptr, TFolderDialog::fdpXY, 120, 75, [](const Seen&) { return QPoint(120, 75); }},
      {"XY both negative", nullptr, TFolderDialog::fdpXY, -1, -9,
       [](const Seen&) { return QPoint(0, 0); }},
      {"default, window owner", &ownerWindow, TFolderDialog::fdpDefault, 0, 0,
       [&](const Seen&) { return ownerWindow.frameGeometry().topLeft() + QPoint(20, 20); }},
      {"default, owner inside a window", &ownerChild, TFolderDialog::fdpDefault, 0, 0,
       [&](const Seen&) { return ownerWindow.frameGeometry().topLeft() + QPoint(20, 20); }},
      {"default, owner no widget", &notAWindow, TFolderDialog::fdpDefault, 0, 0,
       [&](const Seen&) { return screenCentre + QPoint(20, 20); }},
      {"screen centre", nullptr, TFolderDialog::fdpScreenCenter, 500, 500,
       [&](const Seen& seen) {
         return QPoint(desktop.x() + desktop.width() / 2 - seen.size.width() / 2,
                       desktop.y() + desktop.height() / 2 - seen.size.height() / 2);
       }},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.what);
    TFolderDialog dialog(row.owner);
    dialog.SetDialogPosition(row.position);
    dialog.SetDialogX(row.x);
    dialog.SetDialogY(row.y);
    BrowserDriver driver;
    driver.Execute(dialog, Reject);
    ASSERT_TRUE(driver.Observed);
    EXPECT_EQ(driver.Observed->corner, row.expected(*driver.Observed));
  }
}

}  // namespace
}  // namespace tessimar
