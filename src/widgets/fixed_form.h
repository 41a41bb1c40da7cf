// Helpers for the fixed-size dialogs, laid out in pixels and not scaled with the screen.
#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

namespace tessimar {

// The dialogs' font family at a pixel height.
QFont TahomaFont(int pixelSize);

// Centres the window's frame on the screen it is shown on.
void CentreOnScreen(QWidget& window);

// Moves a window so that the top-left corner of its frame (title bar and border included)
// is at corner, also when the window system has not yet told the frame's size.
void PlaceFrame(QWidget& window, const QPoint& corner);

// Gives a new control its object name and its place in pixels.
template <typename Control>
Control* Place(Control* control, const char* name, const QRect& where) {
  control->setObjectName(QString::fromLatin1(name));
  control->setGeometry(where);
  return control;
}

// A label at where, sized to its text.
QLabel* PlaceLabel(QWidget* parent, const char* name, const QString& text, const QPoint& where);

// A push button in its place.
QPushButton* PlaceButton(QWidget* parent, const char* name, const QString& caption, const QRect& where);

}  // namespace tessimar
