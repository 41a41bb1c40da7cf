// The application object: an exception escaping any event handler is shown in an error
// box and the program goes on, as the general error report.
#pragma once

#include <QApplication>

namespace tessimar {

class TessimarApplication : public QApplication {
 public:
  TessimarApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

// Shows what escaped a handler; for handlers that catch it themselves.
void ReportException(const std::exception& error);

}  // namespace tessimar
