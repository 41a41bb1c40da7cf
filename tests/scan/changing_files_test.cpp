// Files that change between the walk and their analysis: the scan goes on, keeps the
// files the walk found, pairs only what it could read, and writes nothing beside them.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <map>

#include "decode/file_reading.h"
#include "decode/picture_error.h"
#include "decode/picture_loader.h"
#include "file_state.h"
#include "picture_fixtures.h"
#include "scan/scan_run.h"
#include "walk_fixture.h"

namespace tessimar {
namespace {

namespace fs = std::filesystem;

// Every name below folder with its bytes (a folder, FIFO or link by its kind).
std::map<std::string, std::string> Contents(const std::string& folder) {
  std::map<std::string, std::string> contents;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const fs::file_status status = fs::symlink_status(entry.path());
    std::string what = fs::is_symlink(status)        ? "link to " + fs::read_symlink(entry.path()).string()
                       : fs::is_regular_file(status) ? testing::ReadFileBytes(entry.path())
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

// Every decoder reads the descriptor that was checked, so a FIFO swapped in as the file is
// opened is refused instead of blocking the scan.
TEST_F(ChangingFilesTest, AFifoSwappedInAsTheFileIsOpenedIsRefusedWithoutBlocking) {
  const testing::Image image = testing::MakeImage(40, 30, 3, [](int x, int y) {
    return std::vector<std::uint8_t>{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 0};
  });
  const std::string tiff = testing::TiffBytes(image);
  const std::pair<const char*, std::string> files[] = {
      {"a.jpg", testing::JpegBytes(image)}, {"a.png", testing::PngBytes(image)},
      {"a.bmp", testing::BmpBytes(image, {})}, {"a.tif", tiff}, {"a.cr2", tiff},
      {"a.gif", testing::GifBytes({40, 30, 0, {{0, 0, 0}, {1, 1, 1}}, {testing::TwoIndexFrame(40, 30, 20, 0, 1)}})},
  };
  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    const std::string path = temp.Write(name, bytes);
    SetBeforeFileOpen([](const std::string& opened) { fs::remove(opened), ::mkfifo(opened.c_str(), 0600); });
    auto load = std::async(std::launch::async, [&path] {
      WorkingBitmap bitmap;
      EXPECT_THROW(LoadPicture(path, bitmap), PictureError);
    });
    if (load.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
      ADD_FAILURE() << "blocked on the FIFO";
      ::close(::open(path.c_str(), O_WRONLY | O_NONBLOCK));  // a writer coming and going releases the reader
    }
    load.get();
    SetBeforeFileOpen(nullptr);
    fs::remove(path);
  }
}

}  // namespace
}  // namespace tessimar
