#include "cache/cache_location.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <optional>

#include "temp_folder.h"

namespace tessimar {
namespace {

TEST(CacheLocation, TheUsersCacheFolderMadePrivate) {
  struct Case {
    const char* name;
    std::optional<std::string> cacheHome;  // relative to the home folder
    std::string expected;                  // relative to the home folder
  };
  const std::vector<Case> cases = {
      {"XDG_CACHE_HOME", "elsewhere/cache", "elsewhere/cache/Tessimar/pictures.sqlite"},
      {"no XDG_CACHE_HOME", std::nullopt, ".cache/Tessimar/pictures.sqlite"},
      {"a relative XDG_CACHE_HOME is ignored", "", ".cache/Tessimar/pictures.sqlite"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempFolder home;
    const std::string cacheHome = c.cacheHome ? (c.cacheHome->empty() ? "relative" : home / *c.cacheHome) : "";
    const std::string file = CacheFileFrom(c.cacheHome ? cacheHome.c_str() : nullptr, home.Path());
    EXPECT_EQ(file, home / c.expected);
    const std::string folder = file.substr(0, file.rfind('/'));
    for (const std::string& made : {folder, folder.substr(0, folder.rfind('/'))}) {
      struct stat status {};
      ASSERT_EQ(::stat(made.c_str(), &status), 0) << made;
      EXPECT_EQ(status.st_mode & 0777, 0700u) << made;
    }
  }
}

}  // namespace
}  // namespace tessimar
