// The folder list: the folders the next scan searches, filled by the folder picker or
// by drops, with a grey hint while it holds none.
#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>

#include "app/main_form.h"
#include "app/main_form_texts.h"
#include "platform/dropped_folder.h"
#include "platform/path_text.h"
#include "widgets/folder_dialog.h"

namespace tessimar {
namespace {

constexpr int ListItemHeight = 18;

void SetTextColour(QWidget& list, const QColor& colour) {
  QPalette palette = list.palette();
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::Text, colour);
  }
  list.setPalette(palette);
}

}  // namespace

void TMainForm::AddFolderButtonClick() {
  AddFolderDialog->SetCaption(AddFolderCaption);
  if (!AddFolderDialog->Execute()) return;
  LeavePlaceholder();
  AppendFolder(QString::fromStdString(WithTrailingSlash(AddFolderDialog->Directory().toStdString())));
}

void TMainForm::RemoveFolderButtonClick() {
  if (FolderListEmpty) return;
  if (const int i = SelectedFolderIndex(); i >= 0) delete DirectoriesListBox->takeItem(i);
  if (DirectoriesListBox->count() == 0) ShowPlaceholder(EmptiedHint);
}

void TMainForm::MoveFolderUpButtonClick() {
  if (FolderListEmpty) return;
  const int i = SelectedFolderIndex();
  if (i <= 0) return;
  MoveFolder(i, i - 1);
}

void TMainForm::MoveFolderDownButtonClick() {
  if (FolderListEmpty) return;
  const int i = SelectedFolderIndex();
  if (i < 0 || i >= DirectoriesListBox->count() - 1) return;
  MoveFolder(i, i + 1);
}

void TMainForm::ClearDirectoriesButtonClick() {
  if (FolderListEmpty) return;
  DirectoriesListBox->clear();
  ShowPlaceholder(EmptiedHint);
}

// Unlike Remove, the key never brings the hint back: the list may stay empty.
bool TMainForm::DirectoriesListBoxKeyDown(const QKeyEvent& key) {
  if (key.key() != Qt::Key_Delete) return false;
  if (const int i = SelectedFolderIndex(); i >= 0) delete DirectoriesListBox->takeItem(i);
  return true;
}

// The caption stays live while the box itself is disabled during a scan; the walk reads
// the box at every folder, so the change applies to the rest of the scan.
void TMainForm::Label1Click() { ScanSubfoldersCheckBox->toggle(); }

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
  if (!event->mimeData()->hasUrls()) return;
  event->acceptProposedAction();
  DropFiles(event->mimeData()->urls());
}

// Dropped folders join the list also during a scan, which walks the folders it was
// started with.
void TMainForm::DropFiles(const QList<QUrl>& urls) {
  LeavePlaceholder();
  for (const QUrl& url : urls) {
    if (!url.isLocalFile()) continue;
    if (const auto folder = DroppedFolder(url.toLocalFile().toStdString())) {
      AppendFolder(QString::fromStdString(*folder));
    }
  }
}

void TMainForm::LeavePlaceholder() {
  if (!FolderListEmpty) return;
  DirectoriesListBox->clear();
  SetTextColour(*DirectoriesListBox, QApplication::palette().color(QPalette::Active, QPalette::Text));
  DirectoriesListBox->setEnabled(!scanning_);
  FolderListEmpty = false;
}

void TMainForm::ShowPlaceholder(const QString& hint) {
  SetTextColour(*DirectoriesListBox, QApplication::palette().color(QPalette::Disabled, QPalette::Text));
  for (const QString& line : {QString(), QString(), hint}) AppendFolder(line);
  DirectoriesListBox->setEnabled(false);
  FolderListEmpty = true;
}

void TMainForm::AppendFolder(const QString& folder) {
  auto* item = new QListWidgetItem(folder, DirectoriesListBox);
  item->setSizeHint(QSize(DirectoriesListBox->fontMetrics().horizontalAdvance(folder), ListItemHeight));
}

int TMainForm::SelectedFolderIndex() const {
  const QList<QListWidgetItem*> selected = DirectoriesListBox->selectedItems();
  return selected.isEmpty() ? -1 : DirectoriesListBox->row(selected.first());
}

void TMainForm::MoveFolder(int from, int to) {
  DirectoriesListBox->insertItem(to, DirectoriesListBox->takeItem(from));
  DirectoriesListBox->setCurrentRow(to);
}

}  // namespace tessimar
