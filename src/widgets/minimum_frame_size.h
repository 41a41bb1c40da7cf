// Keeps a whole window, frame included, at least a given size. Qt's minimum size bounds
// the client area only, and the frame's size is known only once the window manager has
// framed the window, so the client's minimum is worked out again as the frame changes.
#pragma once

#include <QObject>
#include <QSize>

class QWidget;

namespace tessimar {

class MinimumFrameSize : public QObject {
 public:
  // Watches window, which owns it, and applies the minimum at once.
  MinimumFrameSize(QWidget& window, QSize minimum);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Apply();

  QWidget& window_;
  const QSize minimum_;
};

}  // namespace tessimar
