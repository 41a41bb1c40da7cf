#include "app/tessimar_application.h"

#include <QLibraryInfo>

#include "app/message_boxes.h"

namespace tessimar {

// Without the translations installed Qt's texts stay English; the windows work all the same.
// The supplement, installed last, is asked first.
TessimarApplication::TessimarApplication(int& argc, char** argv) : QApplication(argc, argv) {
  if (qtTexts_.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    installTranslator(&qtTexts_);
  }
  installTranslator(&qtTextSupplement_);
}

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
