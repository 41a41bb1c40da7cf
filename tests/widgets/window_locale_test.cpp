#include "widgets/window_locale.h"

#include <gtest/gtest.h>

namespace tessimar {
namespace {

TEST(WindowLocaleTest, TheUsersLocaleUnlessNoneWasChosen) {
  struct Row {
    const char* system;
    const char* window;
  };
  const Row rows[] = {
      {"C", "zh_CN"},
      {"de_DE", "de_DE"},
      {"en_US", "en_US"},
      {"zh_TW", "zh_TW"},
      {"zh_CN", "zh_CN"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.system);
    EXPECT_EQ(WindowLocale(QLocale(QString::fromLatin1(row.system))).name(), QString::fromLatin1(row.window));
  }
}

}  // namespace
}  // namespace tessimar
