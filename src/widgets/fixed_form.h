// Helpers for the fixed-size dialogs, laid out in pixels and not scaled with the screen.
#pragma once

#include <QFont>

class QWidget;

namespace tessimar {

// The dialogs' font family at a pixel height.
QFont TahomaFont(int pixelSize);

// Centres the window's frame on the screen it is shown on.
void CentreOnScreen(QWidget& window);

}  // namespace tessimar
