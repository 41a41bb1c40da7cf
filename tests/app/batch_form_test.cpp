// The batch dialog over a planted catalogue: what each choice selects, as the dialog counts
// it, the options it offers, and the second question before it closes.
#include "app/batch_form.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <functional>

#include "catalogue_of.h"
#include "main_form_fixture.h"
#include "qt_printers.h"
#include "settings/settings.h"
#include "widgets/folder_dialog.h"

namespace tessimar::testing {
namespace {

using Kind = RecordingMessageBoxes::Kind;

struct Planted {
  std::string path;
  std::int32_t width, height;
  std::int64_t size;
};

class BatchFormTest : public MainFormTest {
 protected:
  // Three pairs, each choosing another picture under each rule:
  //   photos/a (100 x 100, 1 KB) and backup/a (100 x 100, 2 KB), at 100;
  //   photos/c (200 x 200, 5 KB) and backup/c (100 x 100, 3 KB), at 100;
  //   photos/d (50 x 50, 4 KB) and backup/d (50 x 50, 8 KB), at 90.
  BatchFormTest() {
    photos = temp.MakeFolder("photos");
    backup = temp.MakeFolder("backup");
    const Planted planted[] = {
        {photos + "a.jpg", 100, 100, 1024}, {backup + "a.jpg", 100, 100, 2048}, {photos + "c.jpg", 200, 200, 5120},
        {backup + "c.jpg", 100, 100, 3072}, {photos + "d.jpg", 50, 50, 4096},   {backup + "d.jpg", 50, 50, 8192},
    };
    std::vector<std::string> paths;
    for (const Planted& picture : planted) paths.push_back(picture.path);
    catalogue = CatalogueOf(paths, {{0, 1, 100}, {2, 3, 100}, {4, 5, 90}});
    for (std::size_t i = 0; i < std::size(planted); ++i) {
      catalogue.PicList[i].Width = planted[i].width;
      catalogue.PicList[i].Height = planted[i].height;
      catalogue.PicList[i].Size = planted[i].size;
    }
  }

  TBatchForm& Open(const TSettings& settings = {}) {
    if (!window) Start();
    form.reset();
    folders = std::make_unique<TFolderDialog>(window.get());
    form = std::make_unique<TBatchForm>(catalogue, settings, *folders, std::vector<std::string>{}, window.get());
    form->show();
    return *form;
  }
  template <typename T>
  T& Control(const char* name) const {
    T* found = form->findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr) throw std::logic_error(std::string("no control ") + name);
    return *found;
  }
  // A click on the radio button's mark: the button is wider than its mark and caption.
  void Choose(const char* radio) const {
    auto& button = Control<QRadioButton>(radio);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(8, button.height() / 2));
  }
  QString Selection() const { return Control<QLabel>("SelectionLabel").text(); }
  bool OKEnabled() const { return Control<QPushButton>("OKButton").isEnabled(); }
  std::vector<std::int32_t> Targets() const {
    std::vector<std::int32_t> pictures;
    for (const BatchTarget& target : form->Targets()) pictures.push_back(target.Picture);
    return pictures;
  }

  Catalogue catalogue;
  std::string photos, backup;
  std::unique_ptr<TFolderDialog> folders;
  std::unique_ptr<TBatchForm> form;
};

TEST_F(BatchFormTest, CountsWhatEachChoiceSelects) {
  struct Row {
    const char* what;
    std::function<void()> choose;
    std::vector<std::int32_t> targets;
    const char* selection;
  };
  const auto click = [this](const char* name) { return [this, name] { Choose(name); }; };
  const auto protect = [this](std::vector<std::string> chosen) {
    return [this, chosen] {
      for (const std::string& folder : chosen)
        AnswerFolderBrowser(QString::fromStdString(folder).chopped(1), "AddProtectedButton");
    };
  };
  const Row rows[] = {
      {"the lesser, by default", [] {}, {0, 3}, "按这些选项，将处理 2 个文件，共 4 KB。"},
      {"always the second", click("SecondRadio"), {1, 3}, "按这些选项，将处理 2 个文件，共 5 KB。"},
      {"always the first", click("FirstRadio"), {0, 2}, "按这些选项，将处理 2 个文件，共 6 KB。"},
      {"the lesser from 90 on", [this] { Control<QSpinBox>("MinSimilarityEdit").setValue(90); }, {0, 3, 4},
       "按这些选项，将处理 3 个文件，共 8 KB。"},
      {"the lesser, backup protected", protect({backup}), {0, 2}, "按这些选项，将处理 2 个文件，共 6 KB。"},
      {"the lesser, photos protected", protect({photos}), {1, 3}, "按这些选项，将处理 2 个文件，共 5 KB。"},
      {"both protected", protect({photos, backup}), {}, "按这些选项，没有要处理的文件。"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Open();
    row.choose();
    EXPECT_EQ(Targets(), row.targets);
    EXPECT_EQ(Selection(), QString::fromUtf8(row.selection));
    EXPECT_EQ(OKEnabled(), !row.targets.empty());
  }
}

TEST_F(BatchFormTest, ProtectedFoldersAreAddedOnceAndRemoved) {
  Open();
  for (int i = 0; i < 2; ++i) AnswerFolderBrowser(QString::fromStdString(backup).chopped(1), "AddProtectedButton");
  auto& list = Control<QListWidget>("ProtectedList");
  ASSERT_EQ(list.count(), 1);
  EXPECT_EQ(list.item(0)->text(), QString::fromStdString(backup));
  EXPECT_EQ(form->Rule().ProtectedFolders, std::vector<std::string>{backup});
  EXPECT_EQ(Targets(), (std::vector<std::int32_t>{0, 2}));

  list.setCurrentRow(0);
  QTest::mouseClick(&Control<QPushButton>("RemoveProtectedButton"), Qt::LeftButton);
  EXPECT_EQ(list.count(), 0);
  EXPECT_TRUE(form->Rule().ProtectedFolders.empty());
  EXPECT_EQ(Targets(), (std::vector<std::int32_t>{0, 3}));
  EXPECT_FALSE(Control<QPushButton>("RemoveProtectedButton").isEnabled());
}

TEST_F(BatchFormTest, APermanentDeleteIsOfferedOnlyWhenTheTrashIsOff) {
  for (const bool trash : {true, false}) {
    SCOPED_TRACE(trash ? "trash on" : "trash off");
    TSettings settings;
    settings.MoveToRecycle = trash;
    Open(settings);
    EXPECT_EQ(Control<QRadioButton>("DeleteRadio").isVisible(), !trash);
    EXPECT_TRUE(Control<QRadioButton>("TrashRadio").isChecked());
    EXPECT_EQ(form->Action(), BatchAction::Trash);
  }
}

TEST_F(BatchFormTest, AMoveWaitsForItsFolder) {
  Open();
  Choose("MoveRadio");
  EXPECT_FALSE(OKEnabled());
  const std::string moved = temp.MakeFolder("moved");
  Choose("TrashRadio");
  AnswerFolderBrowser(QString::fromStdString(moved).chopped(1), "MoveFolderButton");
  EXPECT_TRUE(Control<QRadioButton>("MoveRadio").isChecked());
  EXPECT_EQ(form->Action(), BatchAction::MoveToFolder);
  EXPECT_EQ(form->MoveFolder(), moved);
  EXPECT_EQ(Control<QLineEdit>("MoveFolderEdit").text(), QString::fromStdString(moved));
  EXPECT_TRUE(OKEnabled());
}

TEST_F(BatchFormTest, OKAsksOnceMoreNamingTheCount) {
  struct Row {
    const char* what;
    std::function<void()> choose;
    const char* question;
  };
  const Row rows[] = {
      {"trash", [] {}, "将把 2 个文件（共 4 KB）移至回收站，确定吗？"},
      {"delete", [this] { Choose("DeleteRadio"); },
       "将永久删除 2 个文件（共 4 KB），且无法撤销，确定吗？"},
  };
  TSettings settings;
  settings.MoveToRecycle = false;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Open(settings);
    row.choose();
    boxes.Boxes.clear();
    boxes.Answers = {false};
    QTest::mouseClick(&Control<QPushButton>("OKButton"), Qt::LeftButton);
    ASSERT_EQ(BoxesOf(Kind::Confirmation).size(), 1u);
    EXPECT_EQ(BoxesOf(Kind::Confirmation)[0].text, QString::fromUtf8(row.question));
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->result(), QDialog::Rejected);
    boxes.Answers = {true};
    QTest::mouseClick(&Control<QPushButton>("OKButton"), Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), QDialog::Accepted);
  }
}

TEST_F(BatchFormTest, ControlsWithoutTextAreNamed) {
  Open();
  for (const char* name : {"MinSimilarityEdit", "ProtectedList", "MoveFolderEdit"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(Control<QWidget>(name).accessibleName().isEmpty());
  }
  EXPECT_EQ(Control<QSpinBox>("MinSimilarityEdit").minimum(), 1);
  EXPECT_EQ(Control<QSpinBox>("MinSimilarityEdit").maximum(), 100);
  EXPECT_EQ(Control<QSpinBox>("MinSimilarityEdit").value(), 100);
  EXPECT_EQ(form->font().pixelSize(), 14);
}

}  // namespace
}  // namespace tessimar::testing
