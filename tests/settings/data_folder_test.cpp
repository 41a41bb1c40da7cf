#include "settings/data_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "temp_folder.h"

namespace tessimar {
namespace {

TEST(DataFolderTest, ConfigHomeHomeOrTheApplicationFolder) {
  testing::TempFolder temp;
  const std::string app = temp.MakeFolder("app");
  const std::string config = temp.MakeFolder("config");
  const std::string home = temp.MakeFolder("home");
  temp.MakeFolder("home-with-config/.config");
  struct Case {
    const char* name;
    const char* configHome;
    const char* home;
    std::string expected;
  };
  const std::string homeWithConfig = temp / "home-with-config";
  const std::string missingParent = temp / "missing/config";
  const std::string configNoSlash = temp / "config";
  const Case cases[] = {
      {"config home", config.c_str(), home.c_str(), config + "Tessimar/"},
      {"config home without slash", configNoSlash.c_str(), nullptr, config + "Tessimar/"},
      {"home", nullptr, homeWithConfig.c_str(), homeWithConfig + "/.config/Tessimar/"},
      {"relative config home ignored", "relative", homeWithConfig.c_str(), homeWithConfig + "/.config/Tessimar/"},
      // Only the last level is made: ~/.config itself missing falls back.
      {"home without .config", nullptr, home.c_str(), app},
      {"missing parent", missingParent.c_str(), nullptr, app},
      {"nothing", nullptr, nullptr, app},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DataFolderFrom(c.configHome, c.home, app), c.expected);
  }
  EXPECT_TRUE(std::filesystem::is_directory(config + "Tessimar"));
  EXPECT_FALSE(std::filesystem::exists(home + ".config"));
}

TEST(DataFolderTest, ApplicationFolderHoldsThisProgram) {
  const std::string folder = ApplicationFolder();
  ASSERT_TRUE(folder.ends_with("/"));
  EXPECT_TRUE(std::filesystem::exists(folder + "settings_tests"));
}

}  // namespace
}  // namespace tessimar
