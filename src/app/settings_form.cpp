#include "app/settings_form.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <algorithm>
#include <optional>
#include <stdexcept>

#include "app/tessimar_application.h"
#include "settings/settings_store.h"
#include "widgets/fixed_form.h"
#include "widgets/paste_filter.h"

namespace tessimar {

namespace {

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

constexpr int ClientWidth = 548;
constexpr int ClientHeight = 425;
constexpr int FontPixels = 14;
constexpr int SilentDeleteFontPixels = 15;
constexpr QChar Backspace(8);

// The one rule for the size edits' characters, typed or pasted.
bool IsDigit(QChar character) { return character >= u'0' && character <= u'9'; }

QGroupBox* NewGroupBox(QWidget* parent, const char* name, const QString& caption,
                       const QRect& where) {
  return Place(new QGroupBox(caption, parent), name, where);
}

QCheckBox* NewCheckBox(QWidget* parent, const char* name, const QString& caption,
                       const QRect& where) {
  return Place(new QCheckBox(caption, parent), name, where);
}

QLineEdit* NewEdit(QWidget* parent, const char* name, const QRect& where) {
  return Place(new QLineEdit(QStringLiteral("100"), parent), name, where);
}

// Neither button is a default button: Enter must not press them.
QPushButton* NewButton(QWidget* parent, const char* name, const QString& caption,
                       const QRect& where) {
  auto* button = PlaceButton(parent, name, caption, where);
  button->setAutoDefault(false);
  return button;
}

// The same rules as an integer in the settings file.
std::int32_t IntegerFromText(const QString& text) {
  const std::optional<std::int32_t> value = ReadIntegerValue(text.toStdString());
  if (!value) {
    throw std::runtime_error(
        QStringLiteral("''%1'' is not a valid integer value").arg(text).toStdString());
  }
  return *value;
}

// Keys the dialog itself handles; on them the edits' filter has no say.
bool IsNavigationKey(int key) {
  switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Delete:
      return true;
    default:
      return false;
  }
}

}  // namespace

TSettingsForm::TSettingsForm(TSettings& settings, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), Settings(settings) {
  setObjectName(QStringLiteral("SettingsForm"));
  setWindowTitle(QStringLiteral("设置"));
  setFont(TahomaFont(FontPixels));
  setFixedSize(ClientWidth, ClientHeight);
  CreateTypeBox();
  CreateButtons();
  CreateDeleteBox();
  CreateSearchBox();
  CreateApplicationBox();
  SetTabOrder();
}

void TSettingsForm::CreateTypeBox() {
  GroupBox1 =
      NewGroupBox(this, "GroupBox1", QStringLiteral("要扫描的文件类型"), {10, 10, 190, 258});
  for (std::size_t i = 0; i < PictureTypesByRank.size(); ++i) {
    const PictureType& type = PictureTypesByRank[i];
    const auto [left, top, width, height] = type.BoxGeometry;
    typeCheckBoxes_[i] =
        NewCheckBox(GroupBox1, std::string(type.BoxName).c_str(), Text(type.BoxCaption), {left, top, width, height});
  }
}

void TSettingsForm::CreateButtons() {
  OKButton = NewButton(this, "OKButton", QStringLiteral("确定"), {120, 364, 148, 43});
  CancelButton = NewButton(this, "CancelButton", QStringLiteral("取消"), {276, 364, 148, 43});
  connect(OKButton, &QPushButton::clicked, this, &TSettingsForm::OKButtonClick);
  connect(CancelButton, &QPushButton::clicked, this, &TSettingsForm::CancelButtonClick);
}

void TSettingsForm::CreateDeleteBox() {
  auto* box = NewGroupBox(this, "GroupBox2", QStringLiteral("删除选项"), {208, 10, 328, 106});
  RecycleCheckBox =
      NewCheckBox(box, "RecycleCheckBox", QStringLiteral("将文件移至回收站"), {24, 30, 242, 23});
  SilentDeleteCheckBox =
      NewCheckBox(box, "SilentDeleteCheckBox", QStringLiteral("不确认删除文件"), {24, 61, 263, 23});
  SilentDeleteCheckBox->setFont(TahomaFont(SilentDeleteFontPixels));
}

void TSettingsForm::CreateSearchBox() {
  auto* box = NewGroupBox(this, "GroupBox3", QStringLiteral("搜索选项"), {208, 118, 328, 150});
  OnlyIdenticalCheckBox = NewCheckBox(box, "OnlyIdenticalCheckBox",
                                      QStringLiteral("仅搜索 100% 相同的图片"), {24, 31, 274, 23});
  MinWidthEdit = NewEdit(box, "MinWidthEdit", {178, 67, 65, 25});
  MinHeightEdit = NewEdit(box, "MinHeightEdit", {178, 98, 65, 25});
  MinWidthEdit->setAccessibleName(QStringLiteral("最小图片宽度"));
  MinHeightEdit->setAccessibleName(QStringLiteral("最小图片高度"));
  // Installed after the key filter, so that a paste key reaches the paste filter first.
  for (QLineEdit* edit : {MinWidthEdit, MinHeightEdit}) {
    edit->installEventFilter(this);
    new PasteFilter(*edit, IsDigit);
  }
  PlaceLabel(box, "Label1", QStringLiteral("最小图片宽度"), {24, 70});
  PlaceLabel(box, "Label2", QStringLiteral("最小图片高度"), {24, 101});
  PlaceLabel(box, "Label3", QStringLiteral("像素"), {249, 70});
  PlaceLabel(box, "Label4", QStringLiteral("像素"), {249, 101});
}

void TSettingsForm::CreateApplicationBox() {
  auto* box = NewGroupBox(this, "GroupBox4", QStringLiteral("应用"), {9, 271, 527, 74});
  CheckUpdatesCheckBox =
      NewCheckBox(box, "CheckUpdatesCheckBox", QStringLiteral("自动检查更新 "), {151, 31, 264, 23});
}

void TSettingsForm::SetTabOrder() {
  std::vector<QWidget*> order(typeCheckBoxes_.begin(), typeCheckBoxes_.end());
  order.insert(order.end(), {OKButton, CancelButton, RecycleCheckBox, SilentDeleteCheckBox, OnlyIdenticalCheckBox,
                             MinWidthEdit, MinHeightEdit, CheckUpdatesCheckBox});
  for (std::size_t i = 1; i < order.size(); ++i) {
    setTabOrder(order[i - 1], order[i]);
  }
}

std::vector<std::pair<QCheckBox*, bool TSettings::*>> TSettingsForm::CheckBoxSettings() const {
  std::vector<std::pair<QCheckBox*, bool TSettings::*>> boxes;
  for (std::size_t i = 0; i < PictureTypesByRank.size(); ++i)
    boxes.emplace_back(typeCheckBoxes_[i], PictureTypesByRank[i].Search);
  boxes.insert(boxes.end(), {{RecycleCheckBox, &TSettings::MoveToRecycle},
                             {SilentDeleteCheckBox, &TSettings::DeleteWithoutAsking},
                             {OnlyIdenticalCheckBox, &TSettings::SearchOnlyIdentical},
                             {CheckUpdatesCheckBox, &TSettings::AutoCheckUpdates}});
  return boxes;
}

void TSettingsForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  FormShow();
  CentreOnScreen(*this);
}

void TSettingsForm::FormShow() {
  GroupBox1->setTitle(QStringLiteral("设定扫描图片类型"));
  for (const auto& [box, setting] : CheckBoxSettings()) box->setChecked(Settings.*setting);
  MinWidthEdit->setText(QString::number(Settings.MinPicWidth));
  MinHeightEdit->setText(QString::number(Settings.MinPicHeight));
}

// A text that is no 32-bit integer leaves the dialog open, with the check boxes (and a
// valid width) already taken over.
void TSettingsForm::OKButtonClick() {
  try {
    StoreControls();
    accept();
  } catch (const std::exception& error) {
    ReportException(error);
  }
}

void TSettingsForm::StoreControls() {
  for (const auto& [box, setting] : CheckBoxSettings()) Settings.*setting = box->isChecked();
  Settings.MinPicWidth = IntegerFromText(MinWidthEdit->text());
  Settings.MinPicHeight = IntegerFromText(MinHeightEdit->text());
  Settings.MinPicWidth = std::max<std::int32_t>(Settings.MinPicWidth, 0);
  Settings.MinPicHeight = std::max<std::int32_t>(Settings.MinPicHeight, 0);
}

void TSettingsForm::CancelButtonClick() { reject(); }

// Escape is not a cancel key here; Enter finds no default button anyway.
void TSettingsForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool TSettingsForm::eventFilter(QObject* watched, QEvent* event) {
  const bool isEdit = watched == MinWidthEdit || watched == MinHeightEdit;
  if (isEdit && event->type() == QEvent::KeyPress) {
    return !MinWidthEditKeyPress(*static_cast<QKeyEvent*>(event));
  }
  return QDialog::eventFilter(watched, event);
}

// Typed characters: keys that type nothing pass. Pasted text meets the same rule in the
// edits' paste filter.
bool TSettingsForm::MinWidthEditKeyPress(const QKeyEvent& key) {
  const QString typed = key.text();
  if (typed.isEmpty() || IsNavigationKey(key.key())) return true;
  if (typed.size() != 1) return false;
  const QChar character = typed.front();
  return character == Backspace || IsDigit(character);
}

}  // namespace tessimar
