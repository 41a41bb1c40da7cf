// The batch clean-up in the window, driven from the File menu as a user drives it: when its
// commands are offered, a whole batch to the trash or to a folder, Stop and a close half-way,
// the failures' list, and the undo that brings the files back.
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QListWidget>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <map>

#include "app/batch_form.h"
#include "file_state.h"
#include "main_form_fixture.h"
#include "mixed_folder.h"
#include "qt_printers.h"
#include "review/batch_journal.h"
#include "shell.h"

namespace tessimar::testing {
namespace {

using Kind = RecordingMessageBoxes::Kind;
namespace fs = std::filesystem;

class BatchTest : public MainFormTest {
 protected:
  // photos/: a.jpg and c1.jpg ... c5.jpg, an hour old, and their byte-identical copies made
  // now, b.jpg and k1.jpg ... k5.jpg; only identical pictures pair. The lesser of each pair
  // is its copy, the later file.
  void ScanCopies(const std::string& moreSettings = {}) {
    WriteSettings("[Main]\nSearchOnlyIdentical=1\n" + moreSettings);
    photos = PictureFolder(temp, "photos", 5);
    const auto hourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
    fs::last_write_time(photos + "a.jpg", hourAgo);
    for (int i = 1; i <= 5; ++i) {
      const std::string n = std::to_string(i);
      fs::copy_file(photos + "c" + n + ".jpg", photos + "k" + n + ".jpg");
      fs::last_write_time(photos + "c" + n + ".jpg", hourAgo);
    }
    for (const std::string& copy : Copies()) bytes[copy] = ReadFileBytes(photos + copy);
    Start();
    Drop({QString::fromStdString(photos)});
    PressStart();
    boxes.Boxes.clear();
    ASSERT_EQ(Rows(), 6);
  }
  static std::vector<std::string> Copies() { return {"b.jpg", "k1.jpg", "k2.jpg", "k3.jpg", "k4.jpg", "k5.jpg"}; }
  // The copies still in photos/.
  std::vector<std::string> CopiesLeft() const {
    std::vector<std::string> left;
    for (const std::string& copy : Copies())
      if (fs::exists(photos + copy)) left.push_back(copy);
    return left;
  }
  std::string Trash() const { return isolated.DataHome() + "Trash/"; }

  QTableView& List() const { return Find<QTableView>("ListView1"); }
  int Rows() const { return List().model()->rowCount(); }
  int SelectedRow() const {
    const auto rows = List().selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
  }

  // Whether the batch and the undo commands are enabled, as the File menu shows them.
  std::pair<bool, bool> MenuStates() const {
    auto& file = Find<QMenu>("File1");
    file.popup(QPoint(0, 0));
    const std::pair states{Find<QAction>("BatchMenuItem").isEnabled(), Find<QAction>("UndoBatchMenuItem").isEnabled()};
    file.hide();
    return states;
  }

  // A journal of one move, whose file is still at its destination.
  void PlantJournal() const {
    const std::string moved = temp.Write("elsewhere/x.jpg", "x");
    BatchJournal journal(DefaultJournalPath());
    journal.Begin();
    journal.Record({JournalEntry::Kind::Move, temp / "x.jpg", moved});
  }

  // Opens the batch dialog from the menu and runs act in it; cancels it if act leaves it open.
  void InBatchDialog(const std::function<void(TBatchForm&)>& act) {
    bool opened = false;
    QTimer::singleShot(0, [&opened, act] {
      auto* form = qobject_cast<TBatchForm*>(QApplication::activeModalWidget());
      if (form == nullptr) return;
      opened = true;
      act(*form);
      if (form->isVisible()) form->reject();
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [] {
      if (QWidget* open = QApplication::activeModalWidget()) open->close();
    });
    deadline.start(DeadlineMs);
    ASSERT_TRUE(Find<QAction>("BatchMenuItem").isEnabled());
    Find<QAction>("BatchMenuItem").trigger();
    EXPECT_TRUE(opened) << "no batch dialog opened";
  }

  // Opens the batch dialog, runs choose in it, presses OK and confirms.
  void RunBatchFromMenu(const std::function<void(TBatchForm&)>& choose = {}) {
    boxes.Answers = {true};
    InBatchDialog([&choose](TBatchForm& form) {
      if (choose) choose(form);
      QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("OKButton")), Qt::LeftButton);
    });
  }

  // Presses the progress dialog's named button once it has shown `at` files done; stoppedAt
  // then holds the files it showed done.
  void AtProgress(int at, const std::function<void(QProgressDialog&)>& action) {
    AtPump(
        [this, at] {
          auto* progress = window->findChild<QProgressDialog*>(QStringLiteral("BatchProgressDialog"));
          return progress != nullptr && progress->value() >= at;
        },
        [this, action] {
          auto* progress = window->findChild<QProgressDialog*>(QStringLiteral("BatchProgressDialog"));
          stoppedAt = progress->value();
          action(*progress);
        });
  }

  std::string photos;
  std::map<std::string, std::string> bytes;  // of each copy before the batch
  int stoppedAt = -1;
};

// Scripts get from tessimar-scan --plan what the window's dialog would act on, rule by rule.
TEST_F(BatchTest, TheDialogChoosesWhatTessimarScanPlanPrints) {
  WriteSettings("[Main]\nSearchTIFF=1\n");
  const std::string folder = WriteMixedFolder(temp, "mixed");
  Start();
  Drop({QString::fromStdString(folder)});
  PressStart();
  ASSERT_GT(Rows(), 3);
  struct Rule {
    const char* name;
    const char* radio;
  };
  for (const Rule rule : {Rule{"lesser", "LesserRadio"}, Rule{"second", "SecondRadio"}, Rule{"first", "FirstRadio"}}) {
    SCOPED_TRACE(rule.name);
    std::string chosen;
    InBatchDialog([&](TBatchForm& form) {
      form.findChild<QRadioButton*>(rule.radio)->click();
      form.findChild<QSpinBox*>("MinSimilarityEdit")->setValue(60);
      for (const BatchTarget& target : form.Targets()) chosen += window->Pictures().FullPath(target.Picture) + "\n";
    });
    const ShellResult printed =
        RunShell(IsolatedHome::ShellAssignments(temp.Path()) + TESSIMAR_SCAN_BINARY + " --types jpg,bmp,gif,png,tif" +
                 " --plan " + rule.name + " --min-similarity 60 " + ShellQuoted(folder) + " 2>/dev/null");
    EXPECT_EQ(printed.Status, 0);
    EXPECT_FALSE(chosen.empty());
    EXPECT_EQ(printed.Output, chosen);
  }
}

TEST_F(BatchTest, MenuItemsFollowTheListTheJournalAndTheBusyStates) {
  struct Row {
    const char* what;
    bool journal;
    bool scan;
    enum { Idle, Scanning, Sorting } during;
    std::pair<bool, bool> enabled;  // batch, undo
  };
  const Row rows[] = {
      {"no pairs", false, false, Row::Idle, {false, false}},
      {"no pairs, a journal", true, false, Row::Idle, {false, true}},
      {"pairs", false, true, Row::Idle, {true, false}},
      {"pairs and a journal", true, true, Row::Idle, {true, true}},
      {"during a scan", true, true, Row::Scanning, {false, false}},
      {"during a sort", true, true, Row::Sorting, {false, false}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    window.reset();
    fs::remove_all(temp / "photos");
    fs::remove(DefaultJournalPath());
    if (row.journal) PlantJournal();
    if (row.scan) {
      ScanCopies();
    } else {
      Start();
    }
    std::pair<bool, bool> seen;
    if (row.during == Row::Idle) {
      seen = MenuStates();
    } else if (row.during == Row::Scanning) {
      AtPump([] { return true; }, [&] { seen = MenuStates(); });
      PressStart();
    } else {
      // Still enabled from before the sort: the commands themselves refuse to run.
      QTimer::singleShot(0, [&] {
        Find<QAction>("BatchMenuItem").trigger();
        Find<QAction>("UndoBatchMenuItem").trigger();
        seen = MenuStates();
      });
      QHeaderView& header = *List().horizontalHeader();
      QTest::mouseClick(header.viewport(), Qt::LeftButton, {}, QPoint(10, header.height() / 2));
      EXPECT_TRUE(fs::exists(temp / "elsewhere/x.jpg"));
    }
    EXPECT_EQ(seen, row.enabled);
    EXPECT_EQ(BoxesOf(Kind::Confirmation).size(), 0u);
    EXPECT_EQ(BoxesOf(Kind::Report).size(), 0u);
  }
}

TEST_F(BatchTest, ABatchActsOnTheCopiesAndAnUndoBringsThemBack) {
  struct Row {
    const char* what;
    bool move;
  };
  for (const Row row : {Row{"trash", false}, Row{"move", true}}) {
    SCOPED_TRACE(row.what);
    window.reset();
    fs::remove_all(temp / "photos");
    fs::remove_all(Trash());
    const std::string moved = temp.MakeFolder(std::string("moved-") + row.what);
    ScanCopies();

    RunBatchFromMenu([&](TBatchForm&) {
      if (row.move) AnswerFolderBrowser(QString::fromStdString(moved).chopped(1), "MoveFolderButton");
    });
    ASSERT_EQ(BoxesOf(Kind::Confirmation).size(), 1u);
    EXPECT_TRUE(BoxesOf(Kind::Confirmation)[0].text.startsWith("将把 6 个文件（共 "))
        << BoxesOf(Kind::Confirmation)[0].text.toStdString();
    const std::string went = row.move ? moved : Trash() + "files/";
    for (const std::string& copy : Copies()) EXPECT_EQ(ReadFileBytes(went + copy), bytes[copy]) << copy;
    EXPECT_TRUE(CopiesLeft().empty());
    for (const char* original : {"a.jpg", "c1.jpg", "c5.jpg"}) EXPECT_TRUE(fs::exists(photos + original));
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(SelectedRow(), -1);
    ASSERT_EQ(BoxesOf(Kind::Report).size(), 1u);
    EXPECT_EQ(BoxesOf(Kind::Report)[0].text,
              row.move ? "已将 6 个文件移至 " + QString::fromStdString(moved) + "。" : QString("已将 6 个文件移至回收站。"));
    EXPECT_TRUE(BoxesOf(Kind::Report)[0].details.isEmpty());
    EXPECT_EQ(MenuStates(), (std::pair{false, true}));

    boxes.Boxes.clear();
    boxes.Answers = {true};
    Find<QAction>("UndoBatchMenuItem").trigger();
    ASSERT_EQ(BoxesOf(Kind::Confirmation).size(), 1u);
    for (const std::string& copy : Copies()) {
      EXPECT_EQ(ReadFileBytes(photos + copy), bytes[copy]) << copy;
      EXPECT_FALSE(fs::exists(went + copy)) << copy;
    }
    if (!row.move) {
      EXPECT_TRUE(fs::is_empty(Trash() + "info"));
    }
    ASSERT_EQ(BoxesOf(Kind::Report).size(), 1u);
    EXPECT_EQ(BoxesOf(Kind::Report)[0].text, "已恢复 6 个文件。\n请重新扫描，以再次查看这些重复图片。");
    EXPECT_EQ(MenuStates(), (std::pair{false, false}));
    PressStart();
    EXPECT_EQ(Rows(), 6);
  }
}

TEST_F(BatchTest, StopEndsTheBatchAfterTheFileAtHand) {
  ScanCopies();
  AtProgress(2, [](QProgressDialog& progress) {
    QTest::mouseClick(progress.findChild<QPushButton*>(QStringLiteral("StopButton")), Qt::LeftButton);
  });
  RunBatchFromMenu();
  ASSERT_GE(stoppedAt, 2);
  ASSERT_LT(stoppedAt, 6);
  EXPECT_EQ(CopiesLeft().size(), 6u - static_cast<std::size_t>(stoppedAt));
  EXPECT_EQ(Rows(), 6 - stoppedAt);
  EXPECT_EQ(SelectedRow(), 0);
  for (int row = 0; row < Rows(); ++row)
    for (int column : {0, 1})
      EXPECT_TRUE(fs::exists(List().model()->index(row, column).data().toString().toStdString())) << row;
  ASSERT_EQ(BoxesOf(Kind::Report).size(), 1u);
  EXPECT_EQ(BoxesOf(Kind::Report)[0].text, QString("批量处理已停止。已将 %1 个文件移至回收站。").arg(stoppedAt));
  EXPECT_EQ(window->findChild<QProgressDialog*>(QStringLiteral("BatchProgressDialog")), nullptr);
}

TEST_F(BatchTest, ACloseDuringTheBatchStopsItAndThenClosesTheWindow) {
  ScanCopies();
  AtProgress(2, [this](QProgressDialog&) { window->close(); });
  RunBatchFromMenu();
  ASSERT_GE(stoppedAt, 2);
  EXPECT_EQ(CopiesLeft().size(), 6u - static_cast<std::size_t>(stoppedAt));
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(window->Pictures().PicList.empty());
  EXPECT_TRUE(BoxesOf(Kind::Report).empty());
}

TEST_F(BatchTest, FailuresAreCountedAndListedWithTheirReasons) {
  ScanCopies();
  // k1.jpg's only other copy goes: k1.jpg must then stay.
  fs::remove(photos + "c1.jpg");
  RunBatchFromMenu();
  EXPECT_EQ(CopiesLeft(), std::vector<std::string>{"k1.jpg"});
  ASSERT_EQ(BoxesOf(Kind::Report).size(), 1u);
  const auto report = BoxesOf(Kind::Report)[0];
  EXPECT_EQ(report.text, "已将 5 个文件移至回收站。\n1 个文件未能处理，原因见详细信息。");
  EXPECT_TRUE(report.details.startsWith(QString::fromStdString(photos + "k1.jpg：")));
  EXPECT_FALSE(report.details.contains(u'\n'));
  EXPECT_GT(report.details.size(), QString::fromStdString(photos + "k1.jpg：").size());
}

TEST_F(BatchTest, ProtectedFoldersComeFromTheSettingsFileAndGoBackToIt) {
  ScanCopies("[ProtectedFolders]\nCount=1\nFolder1=" + temp / "photos" + "\n");
  const std::string other = temp.MakeFolder("other");
  const auto protectedList = [](TBatchForm& form) {
    QStringList folders;
    auto* list = form.findChild<QListWidget*>(QStringLiteral("ProtectedList"));
    for (int i = 0; i < list->count(); ++i) folders << list->item(i)->text();
    return folders;
  };
  InBatchDialog([&](TBatchForm& form) {
    EXPECT_EQ(protectedList(form), QStringList{QString::fromStdString(photos)});
    EXPECT_FALSE(form.findChild<QPushButton*>(QStringLiteral("OKButton"))->isEnabled());
    form.findChild<QListWidget*>(QStringLiteral("ProtectedList"))->setCurrentRow(0);
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("RemoveProtectedButton")), Qt::LeftButton);
    AnswerFolderBrowser(QString::fromStdString(other).chopped(1), "AddProtectedButton");
  });
  // Cancelled, and still kept.
  const std::string saved = ReadSettingsFile();
  EXPECT_NE(saved.find("Folder1=" + other), std::string::npos) << saved;
  EXPECT_EQ(saved.find(photos), std::string::npos) << saved;
  EXPECT_NE(saved.find("SearchOnlyIdentical=1"), std::string::npos) << saved;
  InBatchDialog([&](TBatchForm& form) { EXPECT_EQ(protectedList(form), QStringList{QString::fromStdString(other)}); });
  EXPECT_EQ(CopiesLeft(), Copies());
}

// A journal the window can neither read nor write (a folder at its path): the window
// still starts, the batch touches no file and the undo says why.
TEST_F(BatchTest, AJournalThatCannotBeWrittenStopsTheBatchBeforeAnyFile) {
  fs::create_directories(DefaultJournalPath());
  ScanCopies();
  RunBatchFromMenu();
  EXPECT_EQ(CopiesLeft(), Copies());
  EXPECT_EQ(Rows(), 6);
  ASSERT_EQ(BoxesOf(Kind::Error).size(), 1u);
  EXPECT_TRUE(BoxesOf(Kind::Error)[0].text.contains(QString::fromStdString(DefaultJournalPath())))
      << BoxesOf(Kind::Error)[0].text.toStdString();
  EXPECT_TRUE(BoxesOf(Kind::Report).empty());

  EXPECT_EQ(MenuStates(), (std::pair{true, true}));
  boxes.Boxes.clear();
  Find<QAction>("UndoBatchMenuItem").trigger();
  ASSERT_EQ(BoxesOf(Kind::Error).size(), 1u);
  EXPECT_TRUE(BoxesOf(Kind::Error)[0].text.startsWith("Unable to read " + QString::fromStdString(DefaultJournalPath())));
}

}  // namespace
}  // namespace tessimar::testing
