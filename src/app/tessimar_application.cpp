#include "app/tessimar_application.h"

#include "app/message_boxes.h"

namespace tessimar {

TessimarApplication::TessimarApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TessimarApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    ReportException(error);
  }
  return false;
}

void ReportException(const std::exception& error) {
  Messages().Error(QApplication::activeWindow(), QString::fromUtf8(error.what()));
}

}  // namespace tessimar
