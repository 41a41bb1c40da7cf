// Tessimar: finds duplicate and near-duplicate photographs. Reads no command line.
#include "app/glyphs.h"
#include "app/main_form.h"
#include "app/tessimar_application.h"

int main(int argc, char** argv) {
  tessimar::TessimarApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tessimar"));
  QApplication::setDesktopFileName(QStringLiteral("tessimar"));
  QApplication::setWindowIcon(QIcon(tessimar::ProductPicture(128)));
  tessimar::TMainForm MainForm;
  MainForm.show();
  return QApplication::exec();
}
