// A label that acts as a link: the mouse clicks it, Tab reaches it and Enter or Space
// presses it, and screen readers meet it as a link they can press.
#pragma once

#include "app/clickable_label.h"

namespace tessimar {

class LinkLabel : public ClickableLabel {
  Q_OBJECT

 public:
  LinkLabel(const QString& text, QWidget* parent);

  // Follows the link, as a click does.
  void Press() { emit clicked(); }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace tessimar
