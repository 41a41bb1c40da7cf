// main() of the window tests: GoogleTest inside the application object, offscreen.
#include <gtest/gtest.h>

#include "app/tessimar_application.h"
#include "environment.h"
#include "temp_folder.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Before the application starts, as Qt connects to the session bus once a process: the
  // windows' settings, picture cache and trash go to folders of the tests' own, and no
  // file manager of the user's answers. Each window test then takes a home of its own.
  const tessimar::testing::TempFolder folder;
  const tessimar::testing::IsolatedHome home(folder.Path());
  tessimar::TessimarApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
