// Files that change between the walk and their analysis: the scan goes on, keeps the
// files the walk found, pairs only what it could read, and writes nothing beside them.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "analysis/file_reading.h"
#include "picture_fixtures.h"
#include "scan/scan_run.h"
#include "walk_fixture.h"

namespace tessimar {
namespace {

namespace fs = std::filesystem;

std::string FileBytes(const fs::path& path) {
  std::ostringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

// Every name below folder with its bytes (a folder, FIFO or link by its kind).
std::map<std::string, std::string> Contents(const std::string& folder) {
  std::map<std::string, std::string> contents;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const fs::file_status status = fs::symlink_status(entry.path());
    std::string what = fs::is_symlink(status)        ? "link to " + fs::read_symlink(entry.path()).string()
                       : fs::is_regular_file(status) ? FileBytes(entry.path())
                                                     : "kind " + std::to_string(static_cast<int>(status.type()));
    contents.emplace(entry.path(), std::move(what));
  }
  return contents;
}

class ChangingFilesTest : public WalkFixture {
 protected:
  ~ChangingFilesTest() override { SetBeforeFileOpen(nullptr); }
};

TEST_F(ChangingFilesTest, AFileChangedBeforeItsAnalysisIsPassedOverOrReadAsItIsNow) {
  const std::string picture = testing::JpegBytes(testing::MakeImage(200, 150, 3, [](int x, int y) {
    return std::vector<std::uint8_t>{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                                     static_cast<std::uint8_t>(x * y)};
  }));
  struct Case {
    const char* what;
    std::function<void(const std::string& path)> change;
    int pairs;
  };
  const Case cases[] = {
      {"vanished", [](const std::string& path) { fs::remove(path); }, 0},
      {"emptied", [](const std::string& path) { fs::resize_file(path, 0); }, 0},
      {"cut to its first bytes", [](const std::string& path) { fs::resize_file(path, 100); }, 0},
      {"grown past its end",
       [](const std::string& path) { std::ofstream(path, std::ios::app) << std::string(5000, 'x'); }, 1},
      {"a folder now", [](const std::string& path) { fs::remove(path), fs::create_directory(path); }, 0},
      {"a FIFO now", [](const std::string& path) { fs::remove(path), ::mkfifo(path.c_str(), 0600); }, 0},
      {"a link to an endless device now",
       [](const std::string& path) { fs::remove(path), fs::create_symlink("/dev/zero", path); }, 0},
      {"a link to a file that cannot be read now",
       [](const std::string& path) { fs::remove(path), fs::create_symlink("/proc/self/mem", path); }, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string folder = temp.MakeFolder(c.what);
    temp.Write(std::string(c.what) + "/a.jpg", picture);
    const std::string changed = temp.Write(std::string(c.what) + "/b.jpg", picture);
    std::map<std::string, std::string> afterChange;
    SetBeforeFileOpen([&](const std::string& path) {
      if (path != changed || !afterChange.empty()) return;
      c.change(path);
      afterChange = Contents(folder);
    });
    catalogue = Catalogue();
    ScanRun run(catalogue, settings, host, trash, ",");
    run.Run({folder});
    SetBeforeFileOpen(nullptr);

    EXPECT_FALSE(run.ScanStopped);
    EXPECT_EQ(Listed(), (std::vector<std::string>{std::string(c.what) + "/a.jpg", std::string(c.what) + "/b.jpg"}));
    EXPECT_EQ(catalogue.PairCount(), c.pairs);
    ASSERT_FALSE(afterChange.empty()) << "b.jpg was never opened";
    EXPECT_EQ(Contents(folder), afterChange);
  }
}

}  // namespace
}  // namespace tessimar
