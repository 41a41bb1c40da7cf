#include "widgets/minimum_frame_size.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace tessimar {

MinimumFrameSize::MinimumFrameSize(QWidget& window, QSize minimum)
    : QObject(&window), window_(window), minimum_(minimum) {
  window.installEventFilter(this);
  Apply();
}

// The window manager frames a window while mapping it and tells no one: the first paint
// and the activation come after that, moves and resizes after a change of the frame.
bool MinimumFrameSize::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &window_) return false;
  switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Paint:
    case QEvent::WindowActivate:
      Apply();
      break;
    default:
      break;
  }
  return false;
}

void MinimumFrameSize::Apply() {
  const QWindow* handle = window_.windowHandle();
  const QMargins frame = handle != nullptr ? handle->frameMargins() : QMargins();
  // Read while the window manager is still framing the window, the frame can come out
  // negative: it is then passed over until the next event.
  if (frame.left() < 0 || frame.top() < 0 || frame.right() < 0 || frame.bottom() < 0) return;
  const QSize frameExtra(frame.left() + frame.right(), frame.top() + frame.bottom());
  window_.setMinimumSize((minimum_ - frameExtra).expandedTo(QSize(0, 0)));
}

}  // namespace tessimar
