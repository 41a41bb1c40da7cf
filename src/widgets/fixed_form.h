// Helpers for the fixed-size dialogs, laid out in pixels and not scaled with the screen.
#pragma once

#include <QFont>
#include <QRect>
#include <QString>

class QWidget;

namespace tessimar {

// The dialogs' font family at a pixel height.
QFont TahomaFont(int pixelSize);

// Centres the window's frame on the screen it is shown on.
void CentreOnScreen(QWidget& window);

// Gives a new control its object name and its place in pixels.
template <typename Control>
Control* Place(Control* control, const char* name, const QRect& where) {
  control->setObjectName(QString::fromLatin1(name));
  control->setGeometry(where);
  return control;
}

}  // namespace tessimar
