// tessimar-scan --plan on planted copies: the files each rule names, in the plan's order,
// and not one picture file changed by it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <ctime>
#include <filesystem>
#include <map>

#include "file_state.h"
#include "picture_fixtures.h"
#include "run_tool.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

using testing::RunTool;
using testing::ToolResult;

void SetModified(const std::string& path, std::time_t seconds) {
  const timeval times[2] = {{seconds, 0}, {seconds, 0}};
  ASSERT_EQ(::utimes(path.c_str(), times), 0) << path;
}

// Each file's bytes and modification time, and every name below the folder.
std::map<std::string, std::string> StateOf(const std::string& folder) {
  std::map<std::string, std::string> state;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    struct stat info {};
    ::stat(entry.path().c_str(), &info);
    const std::string bytes = entry.is_regular_file() ? testing::ReadFileBytes(entry.path().string()) : "";
    state[entry.path().string()] = bytes + "@" + std::to_string(info.st_mtime);
  }
  return state;
}

TEST(ScanPlanTest, PrintsTheFilesEachRuleActsOnAndChangesNothing) {
  testing::TempFolder out;
  testing::TempFolder temp;
  const std::string a = testing::JpegBytes(testing::TwoColour(200, 150, 70, {200, 10, 10}, {10, 10, 200}));
  const std::string b = testing::JpegBytes(testing::MakeImage(200, 150, 3, [](int x, int y) {
    return std::vector<std::uint8_t>{static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(x), 90};
  }));
  // Pairs (a1, a2) and (b1, b2), byte-identical copies; a1 and b2 the later copies.
  const std::string a1 = temp.Write("photos/a1.jpg", a), a2 = temp.Write("photos/a2.jpg", a);
  const std::string b1 = temp.Write("photos/b1.jpg", b), b2 = temp.Write("keep/b2.jpg", b);
  SetModified(a1, 1717243200);  // 2024-06-01
  SetModified(a2, 1590998400);  // 2020-06-01
  SetModified(b1, 1622548800);  // 2021-06-01
  SetModified(b2, 1654084800);  // 2022-06-01
  const std::vector<std::string> folders = {temp / "photos", temp / "keep"};
  const auto before = StateOf(temp.Path());

  struct Case {
    std::vector<std::string> options;
    std::string printed;
  };
  const Case cases[] = {
      {{"--plan", "first"}, a1 + "\n" + b1 + "\n"},
      {{"--plan", "second"}, a2 + "\n" + b2 + "\n"},
      {{"--plan", "lesser"}, a1 + "\n" + b2 + "\n"},
      {{"--plan", "lesser", "--min-similarity", "1", "--jobs", "0"}, a1 + "\n" + b2 + "\n"},
      {{"--plan", "second", "--protect", temp / "keep"}, a2 + "\n" + b1 + "\n"},
      {{"--plan", "first", "--protect", temp / "photos/", "--protect", temp / "keep"}, ""},
      {{"--plan", "lesser", "--protect", temp / "photos/../photos"}, b2 + "\n"},
      {{"-0", "--plan", "lesser"}, a1 + '\0' + b2 + '\0'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.options));
    const ToolResult result = RunTool(testing::With(c.options, folders), out);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, c.printed);
    EXPECT_NE(result.err.find("4 files scanned, 2 pairs"), std::string::npos) << result.err;
  }
  // A relative folder is taken from where the tool runs, and -o takes the paths as it takes the CSV.
  const ToolResult toFile = RunTool({"--plan", "second", "--protect", "keep", "-o", out / "plan.txt", "photos", "keep"},
                                    out, temp.Path());
  EXPECT_EQ(toFile.status, 0) << toFile.err;
  EXPECT_EQ(toFile.out, "");
  EXPECT_EQ(testing::ReadFileBytes(out / "plan.txt"), a2 + "\n" + b1 + "\n");
  EXPECT_EQ(StateOf(temp.Path()), before);
}

}  // namespace
}  // namespace tessimar
