#include "platform/shell_delete.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "environment.h"
#include "file_state.h"
#include "file_test_helpers.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

using testing::Exists;
using testing::ModeOf;
using testing::ReadFileBytes;

class ShellDeleteTest : public ::testing::Test {
 protected:
  testing::TempFolder temp_;
  const testing::IsolatedHome isolated_{temp_.Path()};
  const std::string home_ = isolated_.Home();
  const testing::ScopedVariable dataVariable_{"XDG_DATA_HOME", std::nullopt};
};

TEST_F(ShellDeleteTest, ToTheTrashOrForGood) {
  const std::string trash = home_ + ".local/share/Trash/";
  const std::string kept = temp_.Write("kept.jpg", "picture");
  ASSERT_EQ(ShellDeleteFile(kept, true), 0);
  EXPECT_FALSE(Exists(kept));
  EXPECT_EQ(ReadFileBytes(trash + "files/kept.jpg"), "picture");

  const std::string gone = temp_.Write("gone.jpg", "picture");
  ASSERT_EQ(ShellDeleteFile(gone, false), 0);
  EXPECT_FALSE(Exists(gone));
  EXPECT_FALSE(Exists(trash + "files/gone.jpg"));
}

TEST_F(ShellDeleteTest, FailuresGiveTheirErrorCode) {
  temp_.MakeFolder("folder");
  struct Case {
    const char* path;
    bool toTrash;
    int error;
  };
  const Case cases[] = {
      {"missing.jpg", false, ENOENT},
      {"missing.jpg", true, ENOENT},
      {"folder", false, EISDIR},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.path) + (c.toTrash ? " to the trash" : " for good"));
    EXPECT_EQ(ShellDeleteFile(temp_ / c.path, c.toTrash), c.error);
  }
  EXPECT_TRUE(Exists(temp_ / "folder"));
}

TEST_F(ShellDeleteTest, ClearReadOnlyGivesTheOwnerWritePermission) {
  struct Case {
    const char* what;
    unsigned mode;
    unsigned cleared;
    bool throughLink;
  };
  const Case cases[] = {
      {"read-only", 0444, 0644, false},
      {"owner read only", 0400, 0600, false},
      {"writable already", 0640, 0640, false},
      {"read-only behind a link", 0444, 0644, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string file = temp_.Write("a.jpg", "picture");
    ASSERT_EQ(::chmod(file.c_str(), c.mode), 0);
    const std::string link = temp_ / "link.jpg";
    if (c.throughLink) {
      ASSERT_EQ(::symlink(file.c_str(), link.c_str()), 0);
    }

    ClearReadOnly(c.throughLink ? link : file);
    EXPECT_EQ(ModeOf(file), c.cleared);
    EXPECT_EQ(ShellDeleteFile(file, false), 0);
    ::unlink(link.c_str());
  }
  // Nothing to clear and nothing to fail.
  ASSERT_EQ(::symlink("missing.jpg", (temp_ / "dangling.jpg").c_str()), 0);
  ClearReadOnly(temp_ / "dangling.jpg");
  ClearReadOnly(temp_ / "missing.jpg");
  EXPECT_TRUE(Exists(temp_ / "dangling.jpg"));
}

}  // namespace
}  // namespace tessimar
