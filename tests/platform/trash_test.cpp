#include "platform/trash.h"
#include "platform/trash_record.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <filesystem>
#include <regex>
#include <vector>

#include "environment.h"
#include "file_state.h"
#include "file_test_helpers.h"
#include "shell.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

using testing::Exists;
using testing::ReadFileBytes;
using testing::RunShell;
using testing::ShellQuoted;

// Another file system than the temporary folder's, where a file goes to that file
// system's own trash.
constexpr const char* OtherFileSystem = "/dev/shm";

// A home of its own, with XDG_DATA_HOME at data/ beside it.
class TrashTest : public ::testing::Test {
 protected:
  std::string Trash() const { return isolated_.DataHome() + "Trash/"; }

  testing::TempFolder temp_;
  const testing::IsolatedHome isolated_{temp_.Path()};
  const std::string home_ = isolated_.Home();
};

std::string TrashList() { return RunShell("trash-list 2>&1").Output; }

// trash-restore offers the items trashed below folder; "0" picks the first.
int TrashRestore(const std::string& folder) {
  return RunShell("printf '0\\n' | trash-restore " + ShellQuoted(folder) + " >/dev/null 2>&1").Status;
}

void ExpectTrashInfo(const std::string& infoPath, const std::string& pathKey) {
  const std::regex form("\\[Trash Info\\]\nPath=([^\n]*)\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n");
  std::smatch match;
  const std::string info = ReadFileBytes(infoPath);
  ASSERT_TRUE(std::regex_match(info, match, form)) << info;
  EXPECT_EQ(match[1], pathKey);
}

TEST_F(TrashTest, TheHomeTrashHoldsTheFileAndTrashCliPutsItBack) {
  ASSERT_EQ(RunShell("command -v trash-list trash-restore >/dev/null").Status, 0)
      << "trash-cli is missing: scripts/setup";
  struct Case {
    std::string name;
    std::string pathKey;  // the original path's last part as the .trashinfo writes it
  };
  // "%41" would come back as "A" if '%' went unencoded.
  const Case cases[] = {
      {"a.jpg", "a.jpg"},
      {"照片 100%41.jpg", "%E7%85%A7%E7%89%87%20100%2541.jpg"},
      {"no-extension", "no-extension"},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string folder = temp_.MakeFolder("photos" + std::to_string(++row));
    const std::string path = temp_.Write("photos" + std::to_string(row) + "/" + c.name, "bytes of " + c.name);

    std::string trashed;
    ASSERT_EQ(MoveToTrash(path, &trashed), 0);
    EXPECT_FALSE(Exists(path));
    EXPECT_EQ(trashed, Trash() + "files/" + c.name);
    EXPECT_EQ(TrashedFileOrigin(trashed), path);
    EXPECT_EQ(ReadFileBytes(Trash() + "files/" + c.name), "bytes of " + c.name);
    ExpectTrashInfo(Trash() + "info/" + c.name + ".trashinfo", folder + c.pathKey);
    EXPECT_NE(TrashList().find(" " + path + "\n"), std::string::npos) << TrashList();

    EXPECT_EQ(TrashRestore(folder), 0);
    EXPECT_EQ(ReadFileBytes(path), "bytes of " + c.name);
    EXPECT_FALSE(Exists(Trash() + "info/" + c.name + ".trashinfo"));
  }
  for (const char* folder : {"", "files", "info"}) EXPECT_EQ(testing::ModeOf(Trash() + folder), 0700u) << folder;
}

TEST_F(TrashTest, TheEnvironmentNamesTheHomeTrashAtEachCall) {
  struct Case {
    const char* what;
    std::optional<std::string> dataHome;
    std::string trash;  // relative to the home
  };
  const Case cases[] = {
      {"XDG_DATA_HOME", home_ + "elsewhere", "elsewhere/Trash/"},
      {"no XDG_DATA_HOME", std::nullopt, ".local/share/Trash/"},
      {"a relative XDG_DATA_HOME is ignored", "relative", ".local/share/Trash/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const testing::ScopedVariable dataHome("XDG_DATA_HOME", c.dataHome);
    const std::string path = temp_.Write("a.jpg", c.what);
    ASSERT_EQ(MoveToTrash(path), 0);
    EXPECT_EQ(ReadFileBytes(home_ + c.trash + "files/a.jpg"), c.what);
    std::filesystem::remove_all(home_ + c.trash);
  }
}

TEST_F(TrashTest, TakenNamesAreSkipped) {
  // A file without its .trashinfo and a .trashinfo without its file both hold their name.
  temp_.Write("data/Trash/files/a.2.jpg", "orphan");
  temp_.Write("data/Trash/info/a.3.jpg.trashinfo", "orphan");
  for (const char* expected : {"a.jpg", "a.4.jpg", "a.5.jpg"}) {
    SCOPED_TRACE(expected);
    std::string trashed;
    ASSERT_EQ(MoveToTrash(temp_.Write("a.jpg", expected), &trashed), 0);
    EXPECT_EQ(trashed, Trash() + "files/" + expected);
    EXPECT_EQ(ReadFileBytes(Trash() + "files/" + expected), expected);
    EXPECT_TRUE(Exists(Trash() + "info/" + expected + ".trashinfo"));
  }
  EXPECT_FALSE(Exists(Trash() + "info/a.2.jpg.trashinfo"));
  EXPECT_EQ(ReadFileBytes(Trash() + "files/a.2.jpg"), "orphan");
}

TEST_F(TrashTest, AFailureLeavesTheFileInPlaceAndNoTrashInfo) {
  struct Case {
    const char* what;
    std::string blocker;  // a file written where a folder is expected, relative to temp_
    std::string file;     // the file to trash, relative to temp_
    bool fileExists;
    int error;
  };
  const Case cases[] = {
      {"the trash is a file", "data/Trash", "a.jpg", true, ENOTDIR},
      {"its info folder is a file", "data/Trash/info", "a.jpg", true, ENOTDIR},
      {"its files folder is a file", "data/Trash/files", "a.jpg", true, ENOTDIR},
      {"the file is missing", "", "a.jpg", false, ENOENT},
      {"its folder is missing", "", "missing/a.jpg", false, ENOENT},
      {"its folder is a file", "plain", "plain/a.jpg", false, ENOTDIR},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(isolated_.DataHome());
    if (!c.blocker.empty()) temp_.Write(c.blocker, "in the way");
    if (c.fileExists) temp_.Write(c.file, "picture");

    std::string trashed = "untouched";
    EXPECT_EQ(MoveToTrash(temp_ / c.file, &trashed), c.error);
    EXPECT_EQ(trashed, "untouched");
    if (c.fileExists) {
      EXPECT_EQ(ReadFileBytes(temp_ / c.file), "picture");
    }
    std::error_code error;
    EXPECT_FALSE(std::filesystem::is_directory(Trash() + "info") && !std::filesystem::is_empty(Trash() + "info"))
        << "a stray .trashinfo";
    std::filesystem::remove(temp_ / c.file, error);
    if (!c.blocker.empty()) std::filesystem::remove(temp_ / c.blocker, error);
  }
}

// The shared trash of another file system, as this test found it: the test asserts only
// what it made there, and takes out its own file and the folders it made (each only when
// empty, as others may use them meanwhile).
class SharedTrash {
 public:
  explicit SharedTrash(std::string folder) : folder_(std::move(folder)) {
    for (const char* part : {"", "files", "info"}) {
      if (!Exists(folder_ + part)) made_.emplace_back(part);
    }
  }
  SharedTrash(const SharedTrash&) = delete;
  SharedTrash& operator=(const SharedTrash&) = delete;
  ~SharedTrash() {
    std::error_code error;
    for (const std::string& name : names_) {
      std::filesystem::remove(folder_ + "files/" + name, error);
      std::filesystem::remove(folder_ + "info/" + name + ".trashinfo", error);
    }
    for (auto part = made_.rbegin(); part != made_.rend(); ++part) std::filesystem::remove(folder_ + *part, error);
  }

  const std::string& Folder() const { return folder_; }
  void Holds(const std::string& name) { names_.push_back(name); }
  const std::vector<std::string>& Made() const { return made_; }

  // Whether a file can go there as the folder is now: it is missing, or it is this user's
  // own folder (no link) whose files/ and info/ are folders or missing.
  bool Usable() const {
    const std::string folder = folder_.substr(0, folder_.size() - 1);
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) return errno == ENOENT;
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) return false;
    return std::ranges::all_of(std::array{"files", "info"}, [this](const char* part) {
      struct stat inner {};
      return ::stat((folder_ + part).c_str(), &inner) == 0 ? S_ISDIR(inner.st_mode) : errno == ENOENT;
    });
  }

 private:
  std::string folder_;
  std::vector<std::string> made_;  // outermost first
  std::vector<std::string> names_;
};

// Whatever the other file system's trash holds beforehand: a folder of the user's own is
// used as it is, anything else is refused and the file stays.
TEST_F(TrashTest, AFileOnAnotherFileSystemGoesToThatFileSystemsTrash) {
  const std::string root = std::string(OtherFileSystem) + "/";
  if (!testing::IsFileSystemRoot(root)) GTEST_SKIP() << OtherFileSystem << " is no file system of its own here";
  testing::TempFolder other(OtherFileSystem);
  const std::string name = "tessimar-" + std::to_string(::getpid()) + ".jpg";
  const std::string path = other.Write(name, "picture");
  SharedTrash trash(root + ".Trash-" + std::to_string(::getuid()) + "/");
  trash.Holds(name);
  const std::string& folder = trash.Folder();

  if (!trash.Usable()) {
    EXPECT_NE(MoveToTrash(path), 0);
    EXPECT_EQ(ReadFileBytes(path), "picture");
    EXPECT_FALSE(Exists(Trash())) << "the home trash is not the other file system's";
    return;
  }
  std::string trashed;
  ASSERT_EQ(MoveToTrash(path, &trashed), 0);
  EXPECT_FALSE(Exists(path));
  EXPECT_EQ(trashed, folder + "files/" + name);
  EXPECT_EQ(TrashedFileOrigin(trashed), path) << "the relative record is taken from the mount point";
  EXPECT_EQ(ReadFileBytes(folder + "files/" + name), "picture");
  // Relative to the mount point, so that the trash still works when it is mounted elsewhere.
  ExpectTrashInfo(folder + "info/" + name + ".trashinfo", path.substr(root.size()));
  EXPECT_FALSE(Exists(Trash())) << "nothing goes to the home trash on another file system";
  for (const std::string& part : trash.Made()) EXPECT_EQ(testing::ModeOf(folder + part), 0700u) << part;

  EXPECT_NE(TrashList().find(" " + path + "\n"), std::string::npos) << TrashList();
  EXPECT_EQ(TrashRestore(other.Path()), 0);
  EXPECT_EQ(ReadFileBytes(path), "picture");
}

TEST_F(TrashTest, ALinkGoesToTheTrashAsALink) {
  const std::string target = temp_.Write("target.jpg", "picture");
  ASSERT_EQ(::symlink(target.c_str(), (temp_ / "link.jpg").c_str()), 0);
  ASSERT_EQ(MoveToTrash(temp_ / "link.jpg"), 0);
  EXPECT_EQ(std::filesystem::read_symlink(Trash() + "files/link.jpg"), target);
  EXPECT_EQ(ReadFileBytes(target), "picture");
}

// The name's .trashinfo must fit NAME_MAX too: a name at the limit goes to the trash under
// a shorter one and comes back under its own.
TEST_F(TrashTest, NamesAtTheLengthLimitGoToTheTrashAndComeBack) {
  struct Case {
    const char* what;
    std::string name;
    std::string firstTrashName;
    std::string pathKey;  // the name as the .trashinfo writes it
  };
  const std::string longest = std::string(NAME_MAX - 4, 'n') + ".jpg";
  // A cut must not split the two-byte "é".
  const std::string accented = std::string(240, 'n') + "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9" + ".jpg";
  const Case cases[] = {
      {"plain", longest, std::string(NAME_MAX - 14, 'n') + ".jpg", longest},
      {"accented", accented, std::string(240, 'n') + ".jpg",
       std::string(240, 'n') + "%C3%A9%C3%A9%C3%A9%C3%A9%C3%A9.jpg"},
      {"all extension", "a." + std::string(NAME_MAX - 2, 'x'), "a." + std::string(NAME_MAX - 12, 'x'),
       "a." + std::string(NAME_MAX - 2, 'x')},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string folder = temp_.MakeFolder("long" + std::to_string(++row));
    for (int copy = 1; copy <= 2; ++copy) {
      const std::string path = temp_.Write("long" + std::to_string(row) + "/" + c.name, "copy " + std::to_string(copy));
      ASSERT_EQ(MoveToTrash(path), 0);
      EXPECT_FALSE(Exists(path));
    }
    EXPECT_EQ(ReadFileBytes(Trash() + "files/" + c.firstTrashName), "copy 1");
    ExpectTrashInfo(Trash() + "info/" + c.firstTrashName + ".trashinfo", folder + c.pathKey);
    EXPECT_EQ(TrashRestore(folder), 0);
    EXPECT_TRUE(Exists(folder + c.name));
  }
}

}  // namespace
}  // namespace tessimar
