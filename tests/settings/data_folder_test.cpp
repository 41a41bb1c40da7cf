#include "settings/data_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "file_state.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

TEST(DataFolderTest, ConfigHomeOrHomeWithEveryMissingFolderMade) {
  testing::TempFolder temp;
  const std::string config = temp.MakeFolder("config");
  const std::string homeWithConfig = temp.MakeFolder("home-with-config");
  temp.MakeFolder("home-with-config/.config");
  const std::string configNoSlash = temp / "config";
  const std::string missingParents = temp / "missing/deeper/config";
  const std::string newHome = temp.MakeFolder("new-account");
  struct Case {
    const char* name;
    const char* configHome;
    std::string home;
    std::string expected;
  };
  const Case cases[] = {
      {"config home", config.c_str(), homeWithConfig, config + "Tessimar/"},
      {"config home without slash", configNoSlash.c_str(), homeWithConfig, config + "Tessimar/"},
      {"home", nullptr, homeWithConfig, homeWithConfig + ".config/Tessimar/"},
      {"relative config home ignored", "relative", homeWithConfig, homeWithConfig + ".config/Tessimar/"},
      {"config home with missing parents", missingParents.c_str(), homeWithConfig, missingParents + "/Tessimar/"},
      {"a new account without .config", nullptr, newHome, newHome + ".config/Tessimar/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DataFolderFrom(c.configHome, c.home), c.expected);
    EXPECT_TRUE(std::filesystem::is_directory(c.expected));
  }
  // Folders made here are private.
  for (const std::string& made : {temp / "missing", temp / "missing/deeper/config/Tessimar", newHome + ".config"})
    EXPECT_EQ(testing::ModeOf(made), 0700u) << made;
}

TEST(DataFolderTest, AFolderThatCannotBeMadeIsStillTheAnswer) {
  testing::TempFolder temp;
  const std::string file = temp.Write("a-file", "x");
  // Root may write anywhere, but nothing makes a folder below a file.
  EXPECT_EQ(DataFolderFrom((file + "/config").c_str(), temp.Path()), file + "/config/Tessimar/");
  EXPECT_FALSE(std::filesystem::exists(file + "/config"));
}

}  // namespace
}  // namespace tessimar
