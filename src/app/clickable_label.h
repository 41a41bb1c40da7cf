// A label that reports a click, for captions that act when clicked (and, through
// LinkLabel, links).
#pragma once

#include <QLabel>

namespace tessimar {

class ClickableLabel : public QLabel {
  Q_OBJECT

 public:
  using QLabel::QLabel;

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace tessimar
