// Runs the built tessimar-scan as a user would and checks what it prints.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "file_state.h"
#include "picture_fixtures.h"
#include "run_tool.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

using testing::RunTool;
using Result = testing::ToolResult;

TEST(ScanToolTest, ListsTheCatalogueInOrder) {
  testing::TempFolder out;
  testing::TempFolder temp;
  temp.Write("p/x.jpeg.png", "1");
  temp.Write("p/a.PNG", "1");
  temp.Write("p/empty.jpg", "");
  temp.Write("p/sub/b.gif", "1");
  temp.Write("p/t.tif", "1");
  ::mkfifo((temp / "p/fifo.jpg").c_str(), 0600);
  ::symlink((temp / "p").c_str(), (temp / "p/sub/loop").c_str());
  const Result result = RunTool({"--list", temp / "p", temp / "p/sub/", temp / "missing"}, out);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, temp / "p/x.jpeg.png\n" + temp / "p/a.PNG\n" + temp / "p/sub/b.gif\n");
  EXPECT_NE(result.err.find("not a folder, passed over: " + temp / "missing"), std::string::npos);
  EXPECT_NE(result.err.find("3 files scanned"), std::string::npos);

  const Result tiffOnly = RunTool({"--list", "--types", "tif", "--no-subfolders", temp / "p"}, out);
  EXPECT_EQ(tiffOnly.out, temp / "p/t.tif\n");
}

TEST(ScanToolTest, WritesThePairsAsCsvTheSameOnEveryRun) {
  testing::TempFolder out;
  testing::TempFolder temp;
  const std::string picture = testing::JpegBytes(testing::TwoColour(200, 150, 70, {200, 10, 10}, {10, 10, 200}));
  temp.Write("a.jpg", picture);
  temp.Write("sub/b.jpg", picture);
  temp.Write("broken.png", "no picture");
  const std::string expected = "\xEF\xBB\xBFGroup Num;Picture Filename;Similarity;\r\n1;" + temp / "a.jpg;100;\r\n1;" +
                               temp / "sub/b.jpg;100;\r\n";
  const Result toStdout = RunTool({temp.Path()}, out);
  EXPECT_EQ(toStdout.status, 0);
  EXPECT_EQ(toStdout.out, expected);
  EXPECT_NE(toStdout.err.find("3 files scanned, 1 pairs"), std::string::npos) << toStdout.err;

  for (const auto& options : std::vector<std::vector<std::string>>{{}, {"--identical-only"}}) {
    std::vector<std::string> arguments = options;
    arguments.insert(arguments.end(), {"-o", out / "pairs.csv", temp.Path()});
    const Result toFile = RunTool(arguments, out);
    EXPECT_EQ(toFile.status, 0);
    EXPECT_TRUE(toFile.out.empty());
    EXPECT_EQ(testing::ReadFileBytes(out / "pairs.csv"), expected);
  }
  const Result tooSmall = RunTool({"--min-width", "201", temp.Path()}, out);
  EXPECT_EQ(tooSmall.out, "\xEF\xBB\xBFGroup Num;Picture Filename;Similarity;\r\n");
}

// Names of any bytes reach the list as they are and the CSV as the window shows them, and
// a folder named like an option is taken for a folder after "--".
TEST(ScanToolTest, NamesOfAnyBytesGoThroughTheListAndTheCsv) {
  testing::TempFolder out;
  testing::TempFolder temp;
  const std::string picture = testing::JpegBytes(testing::TwoColour(200, 150, 70, {200, 10, 10}, {10, 10, 200}));
  // In the walk's order; all are copies of one picture.
  const std::vector<std::string> names = {
      "\x1B[31mred\x1B[0m.jpg", "\"quoted'.jpg", "-dash.jpg", "a.jpg", "f\xEAte.jpg",
      "new\nline.jpg",          "semi;colon.jpg"};
  for (const std::string& name : names) temp.Write("-photos/" + name, picture);
  const std::string folder = temp / "-photos/";

  const Result list = RunTool({"--list", "--", "-photos"}, out, temp.Path());
  EXPECT_EQ(list.status, 0) << list.err;
  std::string listed;
  for (const std::string& name : names) listed += folder + name + "\n";
  EXPECT_EQ(list.out, listed);

  const Result csv = RunTool({"--", "-photos"}, out, temp.Path());
  EXPECT_EQ(csv.status, 0) << csv.err;
  std::string expected = "\xEF\xBB\xBFGroup Num;Picture Filename;Similarity;\r\n";
  for (std::size_t k = 1; k < names.size(); ++k) {
    for (const std::string& name : {names[k - 1], names[k]}) {
      const std::string shown = name == "f\xEAte.jpg" ? "f\xEF\xBF\xBDte.jpg" : name;
      expected += std::to_string(k) + ";" + folder + shown + ";100;\r\n";
    }
  }
  EXPECT_EQ(csv.out, expected);
}

TEST(ScanToolTest, PrintsSignatures) {
  testing::TempFolder out;
  testing::TempFolder temp;
  const std::string halves =
      temp.Write("halves.png", testing::PngBytes(testing::TwoColour(200, 100, 100, {255, 255, 255}, {0, 0, 0})));
  const std::string broken = temp.Write("broken.jpg", "no picture");
  const Result result = RunTool({"--signature", halves, broken}, out);
  EXPECT_EQ(result.status, 1);
  // White left, black right: the first horizontal difference leads the positive positions.
  EXPECT_TRUE(result.out.starts_with(halves + "\nheight 100 width 200\n0,1 0,2 ")) << result.out;
  EXPECT_NE(result.out.find("\n" + broken + "\ncannot load: " + broken), std::string::npos) << result.out;
  EXPECT_EQ(testing::Lines(result.out), 6);
}

TEST(ScanToolTest, BadInvocationsExitWithStatusTwoAndOneLineBeforeAnyScan) {
  testing::TempFolder out;
  const std::string folder = out.MakeFolder("folder");
  const std::string fifo = out / "fifo.ini";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Each case names a folder holding a picture, so a scan that starts anyway is seen.
  const std::string photos = out.MakeFolder("photos");
  out.Write("photos/a.jpg", testing::JpegBytes(testing::MakeImage(64, 48, 3, [](int x, int y) {
              return std::vector<std::uint8_t>{static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 5), 90};
            })));
  const std::vector<std::vector<std::string>> cases = {
      {"--what"},
      {"--types", "raw", photos},
      {},
      {"--types", "", photos},
      {"--min-width", "x", photos},
      {"--signature"},
      {"", photos},
      {photos, ""},
      {"--settings", folder, photos},
      {"--settings", fifo, photos},
      {"--settings", "/dev/zero", photos},
      {"--settings", out / "missing.ini", photos},
      {"-o", folder, photos},
      {"-o", out / "missing/pairs.csv", photos},
      {"-o", "", photos},
      {"--plan", "biggest", photos},
      {"-0", photos},
      {"--plan", "first", "--protect", out / "missing", photos},
  };
  for (const auto& arguments : cases) {
    SCOPED_TRACE(::testing::PrintToString(arguments));
    const Result result = RunTool(arguments, out);
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(result.out.empty());
    EXPECT_EQ(testing::Lines(result.err), 1) << result.err;
  }
}

TEST(ScanToolTest, AFailureToWriteStandardOutputIsAnError) {
  testing::TempFolder out;
  out.Write("photos/a.jpg", "1");
  const std::vector<std::vector<std::string>> runs = {{"--help"}, {out.Path()}, {"--list", out / "photos"}};
  for (const auto& arguments : runs) {
    SCOPED_TRACE(::testing::PrintToString(arguments));
    const std::string command = testing::ToolCommand(arguments, out, out / "stderr.txt") + " >/dev/full";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    const std::string err = testing::ReadFileBytes(out / "stderr.txt");
    EXPECT_NE(err.find("cannot write to standard output"), std::string::npos) << err;
  }
}

TEST(ScanToolTest, HelpAndVersion) {
  testing::TempFolder out;
  EXPECT_NE(RunTool({"--help"}, out).out.find("Usage: tessimar-scan"), std::string::npos);
  const Result version = RunTool({"--version"}, out);
  EXPECT_EQ(version.status, 0);
  EXPECT_TRUE(version.out.starts_with("tessimar-scan "));
}

}  // namespace
}  // namespace tessimar
