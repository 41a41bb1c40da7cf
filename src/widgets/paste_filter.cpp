#include "widgets/paste_filter.h"

#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>

namespace tessimar {

PasteFilter::PasteFilter(QLineEdit& edit, std::function<bool(QChar)> passes)
    : QObject(&edit), edit_(edit), passes_(std::move(passes)) {
  edit.installEventFilter(this);
}

bool PasteFilter::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &edit_ || edit_.isReadOnly()) return false;
  switch (event->type()) {
    case QEvent::KeyPress:
      if (!static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste)) return false;
      Paste(QClipboard::Clipboard);
      return true;
    case QEvent::MouseButtonRelease:
      // Where the window system has a selection, the middle button pastes it.
      if (static_cast<QMouseEvent*>(event)->button() != Qt::MiddleButton ||
          !QGuiApplication::clipboard()->supportsSelection()) {
        return false;
      }
      edit_.deselect();
      Paste(QClipboard::Selection);
      return true;
    case QEvent::ContextMenu:
      ShowMenu(*static_cast<QContextMenuEvent*>(event));
      return true;
    case QEvent::Drop:
      return Drop(*static_cast<QDropEvent*>(event));
    default:
      return false;
  }
}

QString PasteFilter::Passing(const QString& text) const {
  QString passing;
  for (const QChar character : text) {
    if (passes_(character)) passing += character;
  }
  return passing;
}

// As the edit's own paste: an empty clipboard still replaces a selection.
void PasteFilter::Paste(QClipboard::Mode mode) {
  const QString text = Passing(QGuiApplication::clipboard()->text(mode));
  if (!text.isEmpty() || edit_.hasSelectedText()) edit_.insert(text);
}

// The edit's own menu, its Paste command led through the filter. The command is known by
// its text, the one the edit gives it.
void PasteFilter::ShowMenu(const QContextMenuEvent& event) {
  QMenu* menu = edit_.createStandardContextMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  for (QAction* action : menu->actions()) {
    if (action->text().section(u'\t', 0, 0) != QLineEdit::tr("&Paste")) continue;
    action->disconnect(&edit_);
    connect(action, &QAction::triggered, this, [this] { Paste(QClipboard::Clipboard); });
  }
  menu->popup(event.globalPos());
}

// A drop whose text would pass whole goes to the edit unchanged. Otherwise only part of
// it goes in, so the source must keep it: the edit gets a copy with the passing text, or
// nothing when no character passes or the source allows no copy.
bool PasteFilter::Drop(QDropEvent& event) {
  const QString text = event.mimeData()->text();
  const QString passing = Passing(text);
  if (passing == text) return false;
  event.ignore();
  if (passing.isEmpty() || !event.possibleActions().testFlag(Qt::CopyAction)) return true;
  QMimeData filtered;
  filtered.setText(passing);
  QDropEvent copy(event.position(), Qt::CopyAction, &filtered, event.buttons(), event.modifiers());
  QCoreApplication::sendEvent(&edit_, &copy);
  if (copy.isAccepted()) {
    event.setDropAction(Qt::CopyAction);
    event.accept();
  }
  return true;
}

}  // namespace tessimar
