// main() of the window tests: GoogleTest inside the application object, offscreen.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/tessimar_application.h"
#include "temp_folder.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // The windows' picture cache goes to a folder of the tests' own, not the user's.
  const tessimar::testing::TempFolder cacheHome;
  ::setenv("XDG_CACHE_HOME", cacheHome.Path().c_str(), 1);
  tessimar::TessimarApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
