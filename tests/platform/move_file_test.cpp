#include "platform/move_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <functional>
#include <iostream>
#include <set>

#include "file_state.h"
#include "file_test_helpers.h"
#include "platform/rename_no_replace.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

using testing::Exists;
using testing::ReadFileBytes;

// Another file system than the temporary folder's: moves there copy.
constexpr const char* OtherFileSystem = "/dev/shm";

// Larger than one copy buffer.
constexpr std::size_t PictureSize = 200000;

// Every name below folder, so that a left-over temporary file shows.
std::set<std::string> NamesBelow(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) names.insert(entry.path());
  return names;
}

TEST(MoveFileTest, MovesKeepingBytesModeAndTime) {
  testing::TempFolder temp;
  testing::TempFolder other(OtherFileSystem);
  const timespec time[2] = {{1500000000, 0}, {1600000000, 123456789}};
  const std::string destinations[] = {temp / "from/b.jpg", temp / "to/b.jpg", other / "b.jpg"};
  temp.MakeFolder("to");
  for (const std::string& destination : destinations) {
    SCOPED_TRACE(destination);
    const std::string source = temp.WriteSized("from/a.jpg", PictureSize);
    const std::string bytes = ReadFileBytes(source);
    ASSERT_EQ(::chmod(source.c_str(), 0640), 0);
    ASSERT_EQ(::utimensat(AT_FDCWD, source.c_str(), time, 0), 0);

    ASSERT_EQ(MoveFileNoReplace(source, destination), 0);
    EXPECT_FALSE(Exists(source));
    EXPECT_EQ(ReadFileBytes(destination), bytes);
    struct stat st {};
    ASSERT_EQ(::stat(destination.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_mtim.tv_sec, time[1].tv_sec);
    EXPECT_EQ(st.st_mtim.tv_nsec, time[1].tv_nsec);
    const std::string folder = std::filesystem::path(destination).parent_path();
    EXPECT_EQ(NamesBelow(folder), std::set<std::string>{destination});
    std::filesystem::remove(destination);
  }
}

TEST(MoveFileTest, RefusalsLeaveEveryFileAsItWas) {
  testing::TempFolder temp;
  testing::TempFolder other(OtherFileSystem);
  struct Case {
    const char* destination;  // relative to the destination folder
    int error;
  };
  const Case cases[] = {
      {"taken.jpg", EEXIST},
      {"folder", EEXIST},
      {"missing/a.jpg", ENOENT},
      {"plain/a.jpg", ENOTDIR},
  };
  const std::string source = temp.Write("a.jpg", "picture");
  for (const testing::TempFolder* folder : {&temp, &other}) {
    folder->Write("taken.jpg", "taken");
    folder->MakeFolder("folder");
    folder->Write("plain", "plain");
    const auto names = NamesBelow(folder->Path());
    for (const Case& c : cases) {
      SCOPED_TRACE(*folder / c.destination);
      EXPECT_EQ(MoveFileNoReplace(source, *folder / c.destination), c.error);
      EXPECT_EQ(ReadFileBytes(source), "picture");
      EXPECT_EQ(ReadFileBytes(*folder / "taken.jpg"), "taken");
      EXPECT_EQ(NamesBelow(folder->Path()), names);
    }
  }
}

TEST(MoveFileTest, AMissingSourceIsReported) {
  testing::TempFolder temp;
  testing::TempFolder other(OtherFileSystem);
  for (const std::string& destination : {temp / "b.jpg", other / "b.jpg"}) {
    SCOPED_TRACE(destination);
    EXPECT_EQ(MoveFileNoReplace(temp / "missing.jpg", destination), ENOENT);
    EXPECT_FALSE(Exists(destination));
  }
}

TEST(MoveFileTest, ALinkMovesToAnotherFileSystemAsALink) {
  testing::TempFolder temp;
  testing::TempFolder other(OtherFileSystem);
  const std::string link = temp / "link.jpg";
  ASSERT_EQ(::symlink("pictures/a.jpg", link.c_str()), 0);
  ASSERT_EQ(MoveFileNoReplace(link, other / "link.jpg"), 0);
  EXPECT_FALSE(Exists(link));
  EXPECT_EQ(std::filesystem::read_symlink(other / "link.jpg"), "pictures/a.jpg");
}

// Files of /proc fail in ways that hold for root too: /proc/self/mem cannot be read from
// its start, and no file there can be removed.
TEST(MoveFileTest, ACopyThatCannotFinishLeavesNothingBehind) {
  testing::TempFolder temp;
  struct Case {
    const char* source;
    int error;  // 0: any failure
  };
  const Case cases[] = {{"/proc/self/mem", EIO}, {"/proc/self/status", 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    const int error = MoveFileNoReplace(c.source, temp / "copy");
    if (c.error != 0) {
      EXPECT_EQ(error, c.error);
    }
    EXPECT_NE(error, 0);
    EXPECT_NE(error, EXDEV);
    EXPECT_TRUE(Exists(c.source));
    EXPECT_TRUE(std::filesystem::is_empty(temp.Path()));
  }
}

// The destination is created at the last moment: just before the rename or the link, or
// once a copy to another file system is complete. Nothing may replace it.
TEST(MoveFileTest, ADestinationThatAppearsAtTheLastMomentIsNeverReplaced) {
  testing::TempFolder temp;
  testing::TempFolder other(OtherFileSystem);
  struct Case {
    const char* what;
    const testing::TempFolder& to;
    std::function<int(const std::string&, const std::string&, const std::function<void()>&)> move;
  };
  const Case cases[] = {
      {"renamed without replacing", temp,
       [](const std::string& from, const std::string& to, const std::function<void()>& appear) {
         appear();
         return RenameNoReplace(from, to);
       }},
      {"linked, then unlinked", temp,
       [](const std::string& from, const std::string& to, const std::function<void()>& appear) {
         appear();
         return LinkThenUnlink(from, to);
       }},
      {"copied to another file system", other,
       [](const std::string& from, const std::string& to, const std::function<void()>& appear) {
         SetBeforeCopyTakesName(appear);
         const int error = MoveFileNoReplace(from, to);
         SetBeforeCopyTakesName(nullptr);
         return error;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string source = temp.WriteSized("a.jpg", PictureSize);
    const std::string bytes = ReadFileBytes(source);
    const std::string destination = c.to / "b.jpg";
    const auto appear = [&] { c.to.Write("b.jpg", "another picture"); };

    EXPECT_EQ(c.move(source, destination, appear), EEXIST);
    EXPECT_EQ(ReadFileBytes(source), bytes);
    EXPECT_EQ(ReadFileBytes(destination), "another picture");
    std::filesystem::remove(destination);
    EXPECT_EQ(NamesBelow(temp.Path()), std::set<std::string>{source});
    EXPECT_TRUE(std::filesystem::is_empty(other.Path()));
  }
}

TEST(MoveFileTest, AnotherFileTakingTheSourcesNameDuringACopyStays) {
  testing::TempFolder temp;
  testing::TempFolder other(OtherFileSystem);
  const std::string source = temp.WriteSized("a.jpg", PictureSize);
  const std::string bytes = ReadFileBytes(source);
  SetBeforeCopyTakesName([&] {
    std::filesystem::rename(source, temp / "renamed.jpg");
    temp.Write("a.jpg", "another picture");
  });
  EXPECT_EQ(MoveFileNoReplace(source, other / "a.jpg"), ENOENT);
  SetBeforeCopyTakesName(nullptr);
  EXPECT_EQ(ReadFileBytes(source), "another picture");
  EXPECT_EQ(ReadFileBytes(temp / "renamed.jpg"), bytes);
  EXPECT_EQ(ReadFileBytes(other / "a.jpg"), bytes);
}

// A small file system of its own, where root may mount one.
class SmallFileSystem {
 public:
  explicit SmallFileSystem(const std::string& folder) : folder_(folder) {
    mounted_ = ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") == 0;
  }
  SmallFileSystem(const SmallFileSystem&) = delete;
  SmallFileSystem& operator=(const SmallFileSystem&) = delete;
  ~SmallFileSystem() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  bool Mounted() const { return mounted_; }

 private:
  std::string folder_;
  bool mounted_;
};

// Writes beyond limit bytes fail with EFBIG, as a full disk fails with ENOSPC.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t limit) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit lowered{limit, saved_.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &lowered);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_);
  }

 private:
  rlimit saved_{};
  void (*previous_)(int) = nullptr;
};

TEST(MoveFileTest, ACopyThatRunsOutOfRoomLeavesTheSourceAndNoPartialFile) {
  testing::TempFolder temp;
  testing::TempFolder other(OtherFileSystem);
  const std::string small = temp.MakeFolder("small");
  struct Case {
    const char* what;
    std::string folder;
    int error;
  };
  const Case cases[] = {
      {"a full file system", small, ENOSPC},
      {"a file size limit", other.Path(), EFBIG},
  };
  const std::string source = temp.WriteSized("a.jpg", PictureSize);
  const std::string bytes = ReadFileBytes(source);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    int error = 0;
    if (c.error == ENOSPC) {
      const SmallFileSystem full(small);
      if (!full.Mounted()) {
        std::cout << "no tmpfs can be mounted here: " << c.what << " passed over\n";
        continue;
      }
      error = MoveFileNoReplace(source, small + "a.jpg");
      EXPECT_TRUE(std::filesystem::is_empty(small));
    } else {
      const FileSizeLimit limit(PictureSize / 2);
      error = MoveFileNoReplace(source, c.folder + "a.jpg");
    }
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(ReadFileBytes(source), bytes);
    EXPECT_TRUE(std::filesystem::is_empty(other.Path()));
  }
}

}  // namespace
}  // namespace tessimar
