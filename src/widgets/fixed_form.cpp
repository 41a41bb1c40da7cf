#include "widgets/fixed_form.h"

#include <QScreen>
#include <QWidget>

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

}  // namespace tessimar
