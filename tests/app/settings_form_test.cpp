#include "app/settings_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <ostream>

#include "qt_printers.h"
#include "recording_message_boxes.h"
#include "settings/picture_types.h"

namespace tessimar {
namespace {

using testing::RecordingMessageBoxes;

// The check boxes by object name with the setting each one edits.
struct BoxSetting {
  const char* name;
  bool TSettings::*setting;
};
constexpr BoxSetting BoxSettings[] = {
    {"JPGCheckBox", &TSettings::SearchJPG},
    {"BMPCheckBox", &TSettings::SearchBMP},
    {"GIFCheckBox", &TSettings::SearchGIF},
    {"PNGCheckBox", &TSettings::SearchPNG},
    {"TIFFCheckBox", &TSettings::SearchTIFF},
    {"CR2CheckBox", &TSettings::SearchCR2},
    {"HEICCheckBox", &TSettings::SearchHEIC},
    {"AVIFCheckBox", &TSettings::SearchAVIF},
    {"WEBPCheckBox", &TSettings::SearchWEBP},
    {"RecycleCheckBox", &TSettings::MoveToRecycle},
    {"SilentDeleteCheckBox", &TSettings::DeleteWithoutAsking},
    {"OnlyIdenticalCheckBox", &TSettings::SearchOnlyIdentical},
    {"CheckUpdatesCheckBox", &TSettings::AutoCheckUpdates},
};

bool SameSettings(const TSettings& a, const TSettings& b) {
  for (const BoxSetting& box : BoxSettings) {
    if (a.*box.setting != b.*box.setting) return false;
  }
  return a.SearchSimilar == b.SearchSimilar && a.MinPicWidth == b.MinPicWidth &&
         a.MinPicHeight == b.MinPicHeight;
}

// Every flag the other way round from the defaults.
TSettings InvertedSettings() {
  TSettings settings;
  for (const BoxSetting& box : BoxSettings) settings.*box.setting = !(settings.*box.setting);
  settings.MinPicWidth = 0;
  settings.MinPicHeight = 2147483647;
  return settings;
}

class SettingsFormTest : public ::testing::Test {
 public:
  template <typename Control>
  Control* Find(const char* name) {
    auto* control = Form.findChild<Control*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  QCheckBox* Box(const char* name) { return Find<QCheckBox>(name); }
  QLineEdit* Edit(const char* name) { return Find<QLineEdit>(name); }
  void Click(const char* button) { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }
  // Clicks every check box on its indicator, so each one holds the opposite of its setting.
  void ToggleEveryBox() {
    for (const BoxSetting& box : BoxSettings) {
      QCheckBox* control = Box(box.name);
      QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(8, control->height() / 2));
    }
  }
  void Retype(const char* edit, const QString& text) {
    Edit(edit)->clear();
    QTest::keyClicks(Edit(edit), text);
  }

  RecordingMessageBoxes Boxes;
  TSettings Settings;
  TSettingsForm Form{Settings};
};

TEST_F(SettingsFormTest, ShowingCopiesTheSettingsIntoTheControls) {
  const TSettings cases[] = {TSettings{}, InvertedSettings()};
  for (const TSettings& shown : cases) {
    SCOPED_TRACE(shown.MinPicHeight);
    Settings = shown;
    Form.show();
    for (const BoxSetting& box : BoxSettings) {
      SCOPED_TRACE(box.name);
      EXPECT_EQ(Box(box.name)->isChecked(), shown.*box.setting);
    }
    EXPECT_EQ(Edit("MinWidthEdit")->text(), QString::number(shown.MinPicWidth));
    EXPECT_EQ(Edit("MinHeightEdit")->text(), QString::number(shown.MinPicHeight));
    EXPECT_EQ(Find<QGroupBox>("GroupBox1")->title(), QStringLiteral("设定扫描图片类型"));
    Form.hide();
  }
}

TEST_F(SettingsFormTest, OKTakesOverEveryControlAndCloses) {
  Form.show();
  ToggleEveryBox();
  Retype("MinWidthEdit", QStringLiteral("640"));
  Retype("MinHeightEdit", QStringLiteral("480"));
  Click("OKButton");
  TSettings expected = InvertedSettings();
  expected.MinPicWidth = 640;
  expected.MinPicHeight = 480;
  EXPECT_TRUE(SameSettings(Settings, expected));
  EXPECT_FALSE(Form.isVisible());
  EXPECT_TRUE(Boxes.Boxes.empty());
}

// Set directly: the conversion takes whatever text the edits hold.
TEST_F(SettingsFormTest, SizesAreConvertedAndNegativeOnesBecomeZero) {
  struct Case {
    QString width, height;
    std::int32_t expectedWidth, expectedHeight;
  };
  const Case cases[] = {
      {"0", "0", 0, 0},      {"-7", "-1", 0, 0},      {"2147483647", "-2147483648", 2147483647, 0},
      {"+12", "007", 12, 7}, {"$40", "0x10", 64, 16},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.width.toStdString() + " " + row.height.toStdString());
    Form.show();
    Edit("MinWidthEdit")->setText(row.width);
    Edit("MinHeightEdit")->setText(row.height);
    Click("OKButton");
    EXPECT_EQ(Settings.MinPicWidth, row.expectedWidth);
    EXPECT_EQ(Settings.MinPicHeight, row.expectedHeight);
    EXPECT_FALSE(Form.isVisible());
  }
  EXPECT_TRUE(Boxes.Boxes.empty());
}

// The boxes are taken over before the sizes are converted; a failed height leaves the
// width stored, unclamped.
TEST_F(SettingsFormTest, ASizeThatIsNoIntegerIsReportedAndTheDialogStaysOpen) {
  struct Case {
    QString width, height, message;
    std::int32_t expectedWidth;
  };
  const Case cases[] = {
      {"", "100", "'''' is not a valid integer value", 100},
      {"2147483648", "100", "''2147483648'' is not a valid integer value", 100},
      {"abc", "100", "''abc'' is not a valid integer value", 100},
      {"250", "", "'''' is not a valid integer value", 250},
      {"-5", "99999999999", "''99999999999'' is not a valid integer value", -5},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.message.toStdString());
    Settings = TSettings{};
    Boxes.Boxes.clear();
    Form.show();
    ToggleEveryBox();
    Edit("MinWidthEdit")->setText(row.width);
    Edit("MinHeightEdit")->setText(row.height);
    Click("OKButton");
    ASSERT_EQ(Boxes.Boxes.size(), 1u);
    EXPECT_EQ(Boxes.Boxes[0].kind, RecordingMessageBoxes::Kind::Error);
    EXPECT_EQ(Boxes.Boxes[0].text, row.message);
    EXPECT_TRUE(Form.isVisible());
    TSettings expected = InvertedSettings();
    expected.MinPicWidth = row.expectedWidth;
    expected.MinPicHeight = 100;
    EXPECT_TRUE(SameSettings(Settings, expected));
    Form.hide();
  }
}

// The error comes from inside the modal loop, which goes on after the report.
TEST_F(SettingsFormTest, ModalDialogSurvivesTheConversionErrorUntilCancelled) {
  int result = -1;
  QTimer::singleShot(0, &Form, [this] {
    Edit("MinWidthEdit")->clear();
    Click("OKButton");
    Click("CancelButton");
  });
  result = Form.exec();
  EXPECT_EQ(result, QDialog::Rejected);
  EXPECT_EQ(Boxes.Boxes.size(), 1u);
  EXPECT_EQ(Settings.MinPicWidth, 100);
}

TEST_F(SettingsFormTest, OnlyDigitsAndBackspaceAreTyped) {
  struct Case {
    Qt::Key key;
    QString expected;
  };
  const Case cases[] = {
      {Qt::Key_A, "100"},     {Qt::Key_Minus, "100"},  {Qt::Key_Plus, "100"},
      {Qt::Key_Space, "100"}, {Qt::Key_Period, "100"}, {Qt::Key_Dollar, "100"},
      {Qt::Key_7, "1007"},    {Qt::Key_0, "1000"},     {Qt::Key_Backspace, "10"},
  };
  Form.show();
  for (const char* edit : {"MinWidthEdit", "MinHeightEdit"}) {
    for (const Case& row : cases) {
      SCOPED_TRACE(std::string(edit) + " " + QKeySequence(row.key).toString().toStdString());
      Edit(edit)->setText(QStringLiteral("100"));
      Edit(edit)->setFocus();
      Edit(edit)->end(false);
      QTest::keyClick(Edit(edit), row.key);
      EXPECT_EQ(Edit(edit)->text(), row.expected);
    }
  }
}

// Each way in for text other than typing, as the user reaches it.
void PasteByKey(QLineEdit& edit, const QString& text, const QKeySequence& keys) {
  QGuiApplication::clipboard()->setText(text);
  QTest::keyClick(&edit, keys[0].key(), keys[0].keyboardModifiers());
}

void PasteByMenu(QLineEdit& edit, const QString& text) {
  QGuiApplication::clipboard()->setText(text);
  const QPoint at = edit.rect().center();
  QContextMenuEvent request(QContextMenuEvent::Mouse, at, edit.mapToGlobal(at));
  QCoreApplication::sendEvent(&edit, &request);
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(menu, nullptr) << "no menu opened";
  QAction* paste = nullptr;
  for (QAction* action : menu->actions()) {
    if (action->text().startsWith(QStringLiteral("粘贴(&P)"))) paste = action;
  }
  ASSERT_NE(paste, nullptr) << "no Paste command";
  paste->trigger();
  menu->close();
}

// Sent to the dialog as the window system delivers a drag, so the dialog finds the edit
// under the point.
void DropAtEnd(QLineEdit& edit, const QString& text) {
  QMimeData data;
  data.setText(text);
  QWidget* dialog = edit.window();
  const QPoint at = edit.mapTo(dialog, QPoint(edit.width() - 2, edit.height() / 2));
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(dialog->windowHandle(), &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(dialog->windowHandle(), &drop);
}

TEST_F(SettingsFormTest, PastedAndDroppedTextKeepsOnlyTheCharactersTypingLetsThrough) {
  const std::pair<const char*, std::function<void(QLineEdit&, const QString&)>> ways[] = {
      {"Ctrl+V", [](QLineEdit& edit, const QString& text) { PasteByKey(edit, text, QKeySequence("Ctrl+V")); }},
      {"Shift+Insert",
       [](QLineEdit& edit, const QString& text) { PasteByKey(edit, text, QKeySequence("Shift+Ins")); }},
      {"menu", PasteByMenu},
      {"drop", DropAtEnd},
  };
  const std::pair<QString, QString> cases[] = {
      {"42", "10042"}, {"-1 2,3.4\t", "1001234"}, {"abc", "100"}, {"\b5", "1005"}, {"\uff17", "100"},
  };
  Form.show();
  for (const char* name : {"MinWidthEdit", "MinHeightEdit"}) {
    QLineEdit& edit = *Edit(name);
    for (const auto& [how, enter] : ways) {
      for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(std::string(name) + " by " + how + ": " + text.toStdString());
        edit.setText(QStringLiteral("100"));
        edit.setFocus();
        edit.end(false);
        enter(edit, text);
        EXPECT_EQ(edit.text(), expected);
      }
    }
  }
}

TEST_F(SettingsFormTest, ArrowKeysStillMoveInsideTheEdits) {
  Form.show();
  QLineEdit* edit = Edit("MinWidthEdit");
  edit->setFocus();
  edit->end(false);
  QTest::keyClick(edit, Qt::Key_Left);
  QTest::keyClick(edit, Qt::Key_5);
  EXPECT_EQ(edit->text(), QStringLiteral("1050"));
}

TEST_F(SettingsFormTest, LeavingWithoutOKChangesNothing) {
  struct Case {
    const char* way;
    std::function<void(SettingsFormTest&)> leave;
  };
  const Case cases[] = {
      {"Cancel", [](SettingsFormTest& test) { test.Click("CancelButton"); }},
      {"close box", [](SettingsFormTest& test) { test.Form.close(); }},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.way);
    Form.show();
    ToggleEveryBox();
    Retype("MinWidthEdit", QStringLiteral("5"));
    row.leave(*this);
    EXPECT_FALSE(Form.isVisible());
    EXPECT_TRUE(SameSettings(Settings, TSettings{}));
    Form.show();
    EXPECT_TRUE(Box("JPGCheckBox")->isChecked());
    EXPECT_FALSE(Box("TIFFCheckBox")->isChecked());
    EXPECT_EQ(Edit("MinWidthEdit")->text(), QStringLiteral("100"));
    Form.hide();
  }
}

// Neither button is a default or cancel button.
TEST_F(SettingsFormTest, EnterAndEscapePressNoButton) {
  Form.show();
  ToggleEveryBox();
  for (QWidget* focus :
       {static_cast<QWidget*>(Edit("MinWidthEdit")), static_cast<QWidget*>(Box("JPGCheckBox"))}) {
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
      SCOPED_TRACE(QKeySequence(key).toString().toStdString());
      focus->setFocus();
      QTest::keyClick(focus, key);
      EXPECT_TRUE(Form.isVisible());
    }
  }
  EXPECT_TRUE(SameSettings(Settings, TSettings{}));
}

TEST_F(SettingsFormTest, NoPictureTypeIsStillAccepted) {
  Form.show();
  for (const char* name : {"JPGCheckBox", "BMPCheckBox", "GIFCheckBox", "PNGCheckBox", "TIFFCheckBox",
                           "CR2CheckBox", "HEICCheckBox", "AVIFCheckBox", "WEBPCheckBox"}) {
    Box(name)->setChecked(false);
  }
  Click("OKButton");
  EXPECT_FALSE(Form.isVisible());
  EXPECT_FALSE(AnyTypeEnabled(Settings));
}

TEST_F(SettingsFormTest, LayoutFollowsTheDesign) {
  struct Case {
    const char* name;
    QRect geometry;
    QString text;
  };
  const Case cases[] = {
      {"GroupBox1", {10, 10, 190, 258}, "要扫描的文件类型"},
      {"BMPCheckBox", {31, 31, 75, 23}, " BMP"},
      {"JPGCheckBox", {31, 61, 75, 23}, " JPG"},
      {"GIFCheckBox", {31, 92, 75, 22}, " GIF"},
      {"PNGCheckBox", {31, 122, 75, 22}, " PNG"},
      {"TIFFCheckBox", {31, 152, 75, 22}, " TIFF"},
      {"CR2CheckBox", {31, 182, 122, 22}, "Canon CR2"},
      {"HEICCheckBox", {108, 31, 75, 23}, " HEIC"},
      {"AVIFCheckBox", {108, 61, 75, 23}, " AVIF"},
      {"WEBPCheckBox", {108, 92, 75, 22}, " WEBP"},
      {"OKButton", {120, 364, 148, 43}, "确定"},
      {"CancelButton", {276, 364, 148, 43}, "取消"},
      {"GroupBox2", {208, 10, 328, 106}, "删除选项"},
      {"RecycleCheckBox", {24, 30, 242, 23}, "将文件移至回收站"},
      {"SilentDeleteCheckBox", {24, 61, 263, 23}, "不确认删除文件"},
      {"GroupBox3", {208, 118, 328, 150}, "搜索选项"},
      {"OnlyIdenticalCheckBox", {24, 31, 274, 23}, "仅搜索 100% 相同的图片"},
      {"MinWidthEdit", {178, 67, 65, 25}, "100"},
      {"MinHeightEdit", {178, 98, 65, 25}, "100"},
      {"GroupBox4", {9, 271, 527, 74}, "应用"},
      {"CheckUpdatesCheckBox", {151, 31, 264, 23}, "自动检查更新 "},
  };
  EXPECT_EQ(Form.windowTitle(), QStringLiteral("设置"));
  EXPECT_EQ(Form.minimumSize(), QSize(548, 425));
  EXPECT_EQ(Form.maximumSize(), QSize(548, 425));
  EXPECT_EQ(Form.font().family(), QStringLiteral("Tahoma"));
  EXPECT_EQ(Form.font().pixelSize(), 14);
  EXPECT_EQ(Box("SilentDeleteCheckBox")->font().pixelSize(), 15);
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    auto* control = Find<QWidget>(row.name);
    EXPECT_EQ(control->geometry(), row.geometry);
    EXPECT_EQ(control->property(qobject_cast<QGroupBox*>(control) ? "title" : "text").toString(),
              row.text);
  }
  const std::pair<const char*, QPoint> labels[] = {
      {"Label1", {24, 70}}, {"Label2", {24, 101}}, {"Label3", {249, 70}}, {"Label4", {249, 101}}};
  for (const auto& [name, position] : labels) EXPECT_EQ(Find<QLabel>(name)->pos(), position);
}

// Two columns share the group: each box lies inside its frame, clear of the others, with
// room for its whole caption.
TEST_F(SettingsFormTest, EveryTypeBoxFitsTheGroupClearOfTheOthers) {
  Form.show();
  const QRect inside = Find<QGroupBox>("GroupBox1")->contentsRect();
  for (const PictureType& type : PictureTypes) {
    SCOPED_TRACE(type.BoxName);
    const QCheckBox* box = Box(std::string(type.BoxName).c_str());
    EXPECT_TRUE(inside.contains(box->geometry()))
        << ::testing::PrintToString(box->geometry()) << " outside " << ::testing::PrintToString(inside);
    EXPECT_LE(box->sizeHint().width(), box->width());
    for (const PictureType& other : PictureTypes) {
      if (&other == &type) continue;
      EXPECT_FALSE(box->geometry().intersects(Box(std::string(other.BoxName).c_str())->geometry())) << other.BoxName;
    }
  }
}

TEST_F(SettingsFormTest, TabVisitsTheControlsInDesignOrder) {
  const char* order[] = {"BMPCheckBox",
                         "HEICCheckBox",
                         "JPGCheckBox",
                         "AVIFCheckBox",
                         "GIFCheckBox",
                         "WEBPCheckBox",
                         "PNGCheckBox",
                         "TIFFCheckBox",
                         "CR2CheckBox",
                         "OKButton",
                         "CancelButton",
                         "RecycleCheckBox",
                         "SilentDeleteCheckBox",
                         "OnlyIdenticalCheckBox",
                         "MinWidthEdit",
                         "MinHeightEdit",
                         "CheckUpdatesCheckBox",
                         "BMPCheckBox"};
  Form.show();
  QApplication::setActiveWindow(&Form);
  Find<QWidget>(order[0])->setFocus();
  for (std::size_t i = 1; i < std::size(order); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget()->objectName().toStdString(), order[i]);
  }
}

}  // namespace
}  // namespace tessimar
