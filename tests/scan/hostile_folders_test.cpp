// Folders from cameras, phones, downloads and old disks: names of any bytes, paths at the
// system's limits, a listed link to the whole file system.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>

#include "walk_fixture.h"

namespace tessimar {
namespace {

using HostileFoldersTest = WalkFixture;

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(HostileFoldersTest, NamesOfAnyBytesAreCataloguedByThoseBytes) {
  const std::vector<std::string> names = {
      "f\xEAte.jpg",      // Latin-1, not UTF-8
      "cut\xE6\x97.jpg",  // a cut-off UTF-8 sequence
      "new\nline.jpg",       "carriage\rreturn.jpg", "semi;colon.jpg", "quotes\"'`.jpg", "\x1B[31mred\x1B[0m.jpg",
      "-leading-dash.jpg",   "--help.jpg",           " spaces .jpg",
      "f\xEAtes/inside.jpg",  // a folder whose name is not UTF-8
  };
  for (const std::string& name : names) temp.Write(name, "1");
  Walk();
  EXPECT_EQ(Sorted(Listed()), Sorted(names));
  for (std::int32_t i = 0; i <= catalogue.LastPicIndex; ++i) {
    struct stat st {};
    EXPECT_EQ(::stat(catalogue.FullPath(i).c_str(), &st), 0) << catalogue.FullPath(i);
  }
}

// A chain of folders made one level at a time, as a path longer than PATH_MAX can only be
// made relative to an open folder; each level holds p.jpg.
void MakeChain(const std::string& top, int levels, const std::string& name) {
  int fd = ::open(top.c_str(), O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  for (int level = 0; level < levels; ++level) {
    ASSERT_EQ(::mkdirat(fd, name.c_str(), 0700), 0);
    const int next = ::openat(fd, name.c_str(), O_DIRECTORY | O_CLOEXEC);
    ::close(fd);
    ASSERT_GE(fd = next, 0);
    const int file = ::openat(fd, "p.jpg", O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_EQ(::write(file, "1", 1), 1);
    ::close(file);
  }
  ::close(fd);
}

TEST_F(HostileFoldersTest, OnlyFilesWhosePathTheSystemTakesAreCatalogued) {
  constexpr int Levels = 200;
  struct Case {
    const char* top;
    std::size_t nameLength;
  };
  const Case cases[] = {{"short/", 1}, {"long/", 40}, {"longest/", NAME_MAX}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.top);
    const std::string top = temp.MakeFolder(c.top);
    MakeChain(top, Levels, std::string(c.nameLength, 'd'));
    Walk(c.top);
    // PATH_MAX counts the closing NUL.
    std::size_t reachable = 0;
    while (reachable < Levels && top.size() + (reachable + 1) * (c.nameLength + 1) + 5 < PATH_MAX) ++reachable;
    EXPECT_EQ(catalogue.LastPicIndex + 1, static_cast<std::int32_t>(reachable));
    for (std::int32_t i = 0; i <= catalogue.LastPicIndex; ++i) {
      struct stat st {};
      EXPECT_EQ(::stat(catalogue.FullPath(i).c_str(), &st), 0) << catalogue.FullPath(i).size();
    }
    // A tree deeper than PATH_MAX defeats std::filesystem::remove_all.
    ASSERT_EQ(std::system(("rm -rf " + top).c_str()), 0);
  }
  const std::string longest = std::string(NAME_MAX - 4, 'n') + ".jpg";
  temp.Write("names/" + longest, "1");
  Walk("names");
  EXPECT_EQ(Listed(), (std::vector<std::string>{"names/" + longest}));
}

TEST_F(HostileFoldersTest, AListedLinkToTheRootStopsAtOnce) {
  Link("/", "root");
  for (const int stopAt : {1, 40, 400}) {
    SCOPED_TRACE(stopAt);
    host = {};
    std::int32_t cataloguedAtStop = -2;
    std::chrono::steady_clock::time_point stoppedAt;
    host.AtPump(stopAt, [&] {
      stopped = true;
      cataloguedAtStop = catalogue.LastPicIndex;
      stoppedAt = std::chrono::steady_clock::now();
    });
    Walk("root");
    const auto unwinding = std::chrono::steady_clock::now() - stoppedAt;
    ASSERT_NE(cataloguedAtStop, -2) << "the walk ended before the stop";
    EXPECT_LE(catalogue.LastPicIndex, cataloguedAtStop + 1);
    EXPECT_LT(unwinding, std::chrono::seconds(1));
  }
}

}  // namespace
}  // namespace tessimar
