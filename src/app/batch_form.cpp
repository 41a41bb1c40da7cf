#include "app/batch_form.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "app/batch_report.h"
#include "app/message_boxes.h"
#include "catalogue/catalogue.h"
#include "platform/path_text.h"
#include "settings/settings.h"
#include "widgets/fixed_form.h"
#include "widgets/folder_dialog.h"

namespace tessimar {
namespace {

constexpr int FontPixels = 14;
// Wide enough for a folder's path of some depth.
constexpr int MoveFolderEditWidth = 320;
constexpr int ProtectedListHeight = 96;

template <typename Control>
Control* Named(Control* control, const char* name) {
  control->setObjectName(QString::fromLatin1(name));
  return control;
}

// Enter must not press a button: OK asks once more anyway, but a cancel by Enter would
// surprise.
QPushButton* NewButton(const char* name, const QString& caption) {
  auto* button = Named(new QPushButton(caption), name);
  button->setAutoDefault(false);
  return button;
}

QGroupBox* NewBox(const char* name, const QString& caption, QLayout* layout) {
  auto* box = Named(new QGroupBox(caption), name);
  box->setLayout(layout);
  return box;
}

}  // namespace

TBatchForm::TBatchForm(const Catalogue& catalogue, const TSettings& settings, TFolderDialog& folderDialog,
                       std::vector<std::string> protectedFolders, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      catalogue_(catalogue),
      folderDialog_(folderDialog) {
  setObjectName(QStringLiteral("BatchForm"));
  setWindowTitle(QStringLiteral("批量处理重复图片"));
  setFont(TahomaFont(FontPixels));
  rule_.ProtectedFolders = std::move(protectedFolders);
  auto* column = new QVBoxLayout(this);
  column->setSizeConstraint(QLayout::SetFixedSize);
  for (QWidget* part : {CreateChoiceBox(), CreateSimilarityBox(), CreateProtectedBox(), CreateActionBox()})
    column->addWidget(part);
  SelectionLabel = Named(new QLabel, "SelectionLabel");
  column->addWidget(SelectionLabel);
  column->addWidget(CreateButtons());
  // Offered only while a delete from the window would be permanent too.
  DeleteRadio->setVisible(!settings.MoveToRecycle);
  Refresh();
}

BatchAction TBatchForm::Action() const {
  if (MoveRadio->isChecked()) return BatchAction::MoveToFolder;
  if (DeleteRadio->isChecked()) return BatchAction::Delete;
  return BatchAction::Trash;
}

QWidget* TBatchForm::CreateChoiceBox() {
  auto* rows = new QVBoxLayout;
  auto* group = new QButtonGroup(this);
  LesserRadio = Named(new QRadioButton(QStringLiteral("较小的图片（像素更少）")), "LesserRadio");
  SecondRadio = Named(new QRadioButton(QStringLiteral("总是重复图片")), "SecondRadio");
  FirstRadio = Named(new QRadioButton(QStringLiteral("总是原图")), "FirstRadio");
  for (QRadioButton* radio : {LesserRadio, SecondRadio, FirstRadio}) {
    group->addButton(radio);
    rows->addWidget(radio);
  }
  LesserRadio->setChecked(true);
  connect(group, &QButtonGroup::buttonToggled, this, [this](QAbstractButton*, bool on) {
    if (on) Refresh();
  });
  return NewBox("ChoiceBox", QStringLiteral("处理每对图片中的哪一张"), rows);
}

QWidget* TBatchForm::CreateSimilarityBox() {
  auto* row = new QHBoxLayout;
  MinSimilarityEdit = Named(new QSpinBox, "MinSimilarityEdit");
  MinSimilarityEdit->setRange(1, 100);
  MinSimilarityEdit->setValue(100);
  MinSimilarityEdit->setSuffix(QStringLiteral("%"));
  MinSimilarityEdit->setAccessibleName(QStringLiteral("最低相似度"));
  row->addWidget(new QLabel(QStringLiteral("只处理相似度不低于")));
  row->addWidget(MinSimilarityEdit);
  row->addWidget(new QLabel(QStringLiteral("的图片对（100% 即完全相同的副本）")));
  row->addStretch();
  connect(MinSimilarityEdit, &QSpinBox::valueChanged, this, &TBatchForm::Refresh);
  return NewBox("SimilarityBox", QStringLiteral("范围"), row);
}

QWidget* TBatchForm::CreateProtectedBox() {
  auto* row = new QHBoxLayout;
  ProtectedList = Named(new QListWidget, "ProtectedList");
  ProtectedList->setAccessibleName(QStringLiteral("受保护的文件夹"));
  ProtectedList->setFixedHeight(ProtectedListHeight);
  for (const std::string& folder : rule_.ProtectedFolders) ProtectedList->addItem(QString::fromStdString(folder));
  AddProtectedButton = NewButton("AddProtectedButton", QStringLiteral("添加…"));
  RemoveProtectedButton = NewButton("RemoveProtectedButton", QStringLiteral("移除"));
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(AddProtectedButton);
  buttons->addWidget(RemoveProtectedButton);
  buttons->addStretch();
  row->addWidget(ProtectedList);
  row->addLayout(buttons);
  connect(AddProtectedButton, &QPushButton::clicked, this, &TBatchForm::AddProtectedButtonClick);
  connect(RemoveProtectedButton, &QPushButton::clicked, this, &TBatchForm::RemoveProtectedButtonClick);
  return NewBox("ProtectedBox", QStringLiteral("受保护的文件夹（其中及其下的图片永不处理）"), row);
}

QWidget* TBatchForm::CreateActionBox() {
  auto* rows = new QVBoxLayout;
  auto* group = new QButtonGroup(this);
  TrashRadio = Named(new QRadioButton(QStringLiteral("移至回收站")), "TrashRadio");
  MoveRadio = Named(new QRadioButton(QStringLiteral("移至文件夹")), "MoveRadio");
  DeleteRadio = Named(new QRadioButton(QStringLiteral("永久删除")), "DeleteRadio");
  MoveFolderEdit = Named(new QLineEdit, "MoveFolderEdit");
  MoveFolderEdit->setReadOnly(true);
  MoveFolderEdit->setMinimumWidth(MoveFolderEditWidth);
  MoveFolderEdit->setAccessibleName(QStringLiteral("目标文件夹"));
  MoveFolderButton = NewButton("MoveFolderButton", QStringLiteral("浏览…"));
  auto* moveRow = new QHBoxLayout;
  moveRow->addWidget(MoveRadio);
  moveRow->addWidget(MoveFolderEdit, 1);
  moveRow->addWidget(MoveFolderButton);
  rows->addWidget(TrashRadio);
  rows->addLayout(moveRow);
  rows->addWidget(DeleteRadio);
  for (QRadioButton* radio : {TrashRadio, MoveRadio, DeleteRadio}) group->addButton(radio);
  TrashRadio->setChecked(true);
  connect(group, &QButtonGroup::buttonToggled, this, [this](QAbstractButton*, bool on) {
    if (on) Refresh();
  });
  connect(MoveFolderButton, &QPushButton::clicked, this, &TBatchForm::MoveFolderButtonClick);
  return NewBox("ActionBox", QStringLiteral("处理方式"), rows);
}

QWidget* TBatchForm::CreateButtons() {
  auto* panel = new QWidget;
  auto* row = new QHBoxLayout(panel);
  row->setContentsMargins(0, 0, 0, 0);
  OKButton = NewButton("OKButton", QStringLiteral("确定"));
  CancelButton = NewButton("CancelButton", QStringLiteral("取消"));
  row->addStretch();
  row->addWidget(OKButton);
  row->addWidget(CancelButton);
  connect(OKButton, &QPushButton::clicked, this, &TBatchForm::OKButtonClick);
  connect(CancelButton, &QPushButton::clicked, this, &TBatchForm::reject);
  return panel;
}

void TBatchForm::AddProtectedButtonClick() {
  folderDialog_.SetCaption(QStringLiteral("选择要保护的文件夹"));
  if (!folderDialog_.Execute()) return;
  const std::string folder = WithTrailingSlash(folderDialog_.Directory().toStdString());
  if (std::ranges::find(rule_.ProtectedFolders, folder) != rule_.ProtectedFolders.end()) return;
  rule_.ProtectedFolders.push_back(folder);
  ProtectedList->addItem(QString::fromStdString(folder));
  Refresh();
}

void TBatchForm::RemoveProtectedButtonClick() {
  const int row = ProtectedList->currentRow();
  if (row < 0) return;
  delete ProtectedList->takeItem(row);
  rule_.ProtectedFolders.erase(rule_.ProtectedFolders.begin() + row);
  Refresh();
}

// Choosing a folder chooses the move.
void TBatchForm::MoveFolderButtonClick() {
  folderDialog_.SetCaption(QStringLiteral("选择要将文件移至的文件夹"));
  if (!folderDialog_.Execute()) return;
  moveFolder_ = WithTrailingSlash(folderDialog_.Directory().toStdString());
  MoveFolderEdit->setText(QString::fromStdString(moveFolder_));
  MoveRadio->setChecked(true);
  Refresh();
}

void TBatchForm::Refresh() {
  rule_.Choice = SecondRadio->isChecked()  ? BatchChoice::Second
                 : FirstRadio->isChecked() ? BatchChoice::First
                                           : BatchChoice::Lesser;
  rule_.MinSimilarity = MinSimilarityEdit->value();
  targets_ = PlanBatch(catalogue_, rule_);
  bytes_ = PlannedBytes(catalogue_, targets_);
  SelectionLabel->setText(targets_.empty() ? QStringLiteral("按这些选项，没有要处理的文件。")
                                           : QStringLiteral("按这些选项，将处理 %1 个文件，共 %2。")
                                                 .arg(CountText(targets_.size()), BytesText(bytes_)));
  RemoveProtectedButton->setEnabled(ProtectedList->count() > 0);
  OKButton->setEnabled(!targets_.empty() && (Action() != BatchAction::MoveToFolder || !moveFolder_.empty()));
}

void TBatchForm::OKButtonClick() {
  if (Messages().Confirm(this, Confirmation())) accept();
}

QString TBatchForm::Confirmation() const {
  const QString count = CountText(targets_.size());
  const QString bytes = BytesText(bytes_);
  switch (Action()) {
    case BatchAction::Trash:
      return QStringLiteral("将把 %1 个文件（共 %2）移至回收站，确定吗？").arg(count, bytes);
    case BatchAction::MoveToFolder:
      return QStringLiteral("将把 %1 个文件（共 %2）移至 %3，确定吗？").arg(count, bytes, QString::fromStdString(moveFolder_));
    case BatchAction::Delete:
      break;
  }
  return QStringLiteral("将永久删除 %1 个文件（共 %2），且无法撤销，确定吗？").arg(count, bytes);
}

}  // namespace tessimar
