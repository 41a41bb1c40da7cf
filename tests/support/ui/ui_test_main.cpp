// main() of the window tests: GoogleTest inside the application object, offscreen.
#include <gtest/gtest.h>

#include "app/tessimar_application.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  tessimar::TessimarApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
