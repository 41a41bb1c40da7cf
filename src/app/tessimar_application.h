// The application object: an exception escaping any event handler is shown in an error
// box and the program goes on, as the general error report. Qt's own texts (dialog
// buttons, edit menus, the folder picker) are Chinese like the windows, whatever the
// system's language.
#pragma once

#include <QApplication>
#include <QTranslator>

#include "app/qt_text_supplement.h"

namespace tessimar {

class TessimarApplication : public QApplication {
 public:
  TessimarApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

 private:
  QTranslator qtTexts_;
  QtTextSupplement qtTextSupplement_;
};

// Shows what escaped a handler; for handlers that catch it themselves.
void ReportException(const std::exception& error);

// Runs a handler reached through Qt's signals, which an exception must not cross, and
// reports what it throws.
template <typename Handler>
void RunReported(Handler&& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    ReportException(error);
  }
}

}  // namespace tessimar
