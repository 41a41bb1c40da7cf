// A region of the main window. Screen readers meet it as a pane under its accessible
// name, not as a frame: its border is only drawing.
#pragma once

#include <QFrame>

namespace tessimar {

class Panel : public QFrame {
  Q_OBJECT

 public:
  explicit Panel(QWidget* parent);
};

}  // namespace tessimar
