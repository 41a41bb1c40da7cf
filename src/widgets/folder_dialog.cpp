#include "widgets/folder_dialog.h"

#include <QAbstractFileIconProvider>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QStorageInfo>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "widgets/fixed_form.h"
#include "widgets/local_dates_model.h"
#include "widgets/window_locale.h"

namespace tessimar {

namespace {

// 1.1.0.2, one byte per part from the highest down.
constexpr std::uint32_t VersionNumber = 0x01010002;

// The browser's own layout gets one row on top for the title; its items move down a row.
void AddTitle(QFileDialog& browser, const QString& title) {
  auto* grid = qobject_cast<QGridLayout*>(browser.layout());
  if (title.isEmpty() || grid == nullptr) return;
  struct Cell {
    QLayoutItem* item;
    int row, column, rows, columns;
  };
  std::vector<Cell> cells;
  while (grid->count() > 0) {
    Cell cell{};
    grid->getItemPosition(0, &cell.row, &cell.column, &cell.rows, &cell.columns);
    cell.item = grid->takeAt(0);
    cells.push_back(cell);
  }
  const int columns = grid->columnCount();
  for (const Cell& cell : cells) {
    grid->addItem(cell.item, cell.row + 1, cell.column, cell.rows, cell.columns);
  }
  auto* label = new QLabel(title, &browser);
  label->setObjectName(QStringLiteral("TitleLabel"));
  label->setWordWrap(true);
  grid->addWidget(label, 0, 0, 1, columns);
}

// Where fdpDefault counts from when the owner is no window: the centre of the primary
// screen, where a hidden application window would sit.
QPoint OwnerCorner(const QWidget* owner) {
  if (owner != nullptr) return owner->frameGeometry().topLeft();
  return QGuiApplication::primaryScreen()->geometry().center();
}

int IconIndexOf(const QString& folder) {
  const bool isRoot = QStorageInfo(folder).rootPath() == folder;
  return isRoot ? QAbstractFileIconProvider::Drive : QAbstractFileIconProvider::Folder;
}

}  // namespace

TFolderDialog::TFolderDialog(QObject* owner) : QObject(owner), FDirectory(QDir::currentPath()) {}

QString TFolderDialog::Version() const {
  QStringList parts;
  for (int shift = 24; shift >= 0; shift -= 8) {
    parts << QString::number((VersionNumber >> shift) & 0xFFu);
  }
  return parts.join(QLatin1Char('.'));
}

bool TFolderDialog::Execute() {
  auto* ownerWidget = qobject_cast<QWidget*>(parent());
  FParent = ownerWidget != nullptr ? ownerWidget->window() : nullptr;
  if (!QFileInfo(FDirectory).isDir()) FDirectory = QDir::currentPath();
  QFileDialog browser(FParent);
  PrepareBrowser(browser);
  browser.installEventFilter(this);
  if (browser.exec() != QDialog::Accepted) return false;
  const QStringList chosen = browser.selectedFiles();
  if (chosen.isEmpty() || !QFileInfo(chosen.front()).isDir()) return false;
  FDirectory = chosen.front();
  FImageIndex = IconIndexOf(FDirectory);
  return true;
}

// Without the new style there is no new-folder button, as with fdoNoNewFolderButton.
void TFolderDialog::PrepareBrowser(QFileDialog& browser) const {
  browser.setObjectName(QStringLiteral("FolderBrowser"));
  browser.setOption(QFileDialog::DontUseNativeDialog);
  browser.setFileMode(QFileDialog::Directory);
  browser.setOption(QFileDialog::ShowDirsOnly);
  browser.setOption(QFileDialog::ReadOnly, !FOptions.testFlag(fdoNewDialogStyle) ||
                                               FOptions.testFlag(fdoNoNewFolderButton));
  browser.setProxyModel(new LocalDatesModel(WindowLocale(), &browser));
  browser.setDirectory(FDirectory);
  if (!FCaption.isEmpty()) browser.setWindowTitle(FCaption);
  AddTitle(browser, FTitle);
}

// The Show event comes before the window is mapped, with its size already known.
bool TFolderDialog::eventFilter(QObject* watched, QEvent* event) {
  auto* browser = qobject_cast<QWidget*>(watched);
  if (browser != nullptr && event->type() == QEvent::Show && !event->spontaneous()) {
    PlaceFrame(*browser, BrowserCorner(*browser));
  }
  return QObject::eventFilter(watched, event);
}

// Where the top-left corner of the browser's frame goes.
QPoint TFolderDialog::BrowserCorner(const QWidget& browser) const {
  switch (FDialogPosition) {
    case fdpDefault:
      return OwnerCorner(FParent) + QPoint(DefaultOffset, DefaultOffset);
    case fdpScreenCenter: {
      const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
      const QRect frame = browser.frameGeometry();
      return {desktop.x() + desktop.width() / 2 - frame.width() / 2,
              desktop.y() + desktop.height() / 2 - frame.height() / 2};
    }
    case fdpXY:
      break;
  }
  // fdpXY
  return {std::max(FDialogX, 0), std::max(FDialogY, 0)};
}

}  // namespace tessimar
