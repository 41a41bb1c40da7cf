#include "widgets/fixed_form.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace tessimar {

QFont TahomaFont(int pixelSize) {
  QFont font(QStringLiteral("Tahoma"));
  font.setPixelSize(pixelSize);
  return font;
}

void CentreOnScreen(QWidget& window) {
  const QRect screenArea = window.screen()->geometry();
  const QRect frame = window.frameGeometry();
  window.move(screenArea.x() + (screenArea.width() - frame.width()) / 2,
              screenArea.y() + (screenArea.height() - frame.height()) / 2);
}

// Before a window is mapped its frame is not known, and a move alone would put the client
// area at corner, leaving the frame above and left of it; asking for the frame's position
// lets the window manager place the frame there.
void PlaceFrame(QWidget& window, const QPoint& corner) {
  window.move(corner);
  if (QWindow* handle = window.windowHandle()) handle->setFramePosition(corner);
}

QLabel* PlaceLabel(QWidget* parent, const char* name, const QString& text, const QPoint& where) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->move(where);
  label->adjustSize();
  return label;
}

QPushButton* PlaceButton(QWidget* parent, const char* name, const QString& caption, const QRect& where) {
  return Place(new QPushButton(caption, parent), name, where);
}

}  // namespace tessimar
