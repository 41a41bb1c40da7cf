// tessimar-scan where the system refuses it threads or memory: threads it cannot have leave
// the analysis to its own thread, with the same CSV; memory running out is told in one
// line with a failing status. It never aborts.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdint>

#include "file_state.h"
#include "mixed_folder.h"
#include "run_tool.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

using testing::Lines;
using testing::RunTool;
using testing::RunToolAfter;
using testing::With;
using Result = testing::ToolResult;

// Each thread takes the stack limit as the size of its stack: one as large as the whole
// address space can never be mapped, so no thread starts. Unlike a limit of processes,
// this holds for root too.
constexpr std::uint64_t UnmappableStackBytes = std::uint64_t{1} << 47;
const std::string NoThreads = "ulimit -s " + std::to_string(UnmappableStackBytes / 1024) + " && ";

bool StackLimitCanBeRaised() {
  rlimit limit{};
  return ::getrlimit(RLIMIT_STACK, &limit) == 0 &&
         (limit.rlim_max == RLIM_INFINITY || limit.rlim_max >= UnmappableStackBytes);
}

class ScanLimitsTest : public ::testing::Test {
 protected:
  testing::TempFolder photos;
  testing::TempFolder out;
};

TEST_F(ScanLimitsTest, WorkersTheSystemRefusesLeaveTheScanToItsOwnThreadWithTheSameCsv) {
  if (!StackLimitCanBeRaised()) GTEST_SKIP() << "the hard stack limit is below the size no thread can map";
  const std::string folder = testing::WriteMixedFolder(photos, "photos");
  const std::vector<std::string> types = {"--types", "bmp,jpg,gif,png,tif"};
  const Result sequential = RunTool(With(types, {"--no-cache", "--jobs", "0", folder}), out);
  ASSERT_EQ(sequential.status, 0) << sequential.err;
  EXPECT_GE(Lines(sequential.out), 7) << sequential.out;  // the header and at least three pairs

  const std::string cache = out / "pictures.sqlite";
  const std::vector<std::vector<std::string>> runs = {
      {"--no-cache"},                             // as many workers as cores
      {"--no-cache", "--jobs", "4"},
      {"--cache", cache, "--jobs", "2"},          // a cold cache
      {"--cache", cache, "--jobs", "2"},          // and a warm one
  };
  for (const auto& run : runs) {
    SCOPED_TRACE(::testing::PrintToString(run));
    const Result refused = RunToolAfter(NoThreads, With(With(types, run), {folder}), out);
    EXPECT_EQ(refused.status, 0) << refused.err;
    EXPECT_EQ(refused.out, sequential.out);
    EXPECT_EQ(Lines(refused.err), 1) << refused.err;  // the summary alone
  }
}

TEST_F(ScanLimitsTest, RunningOutOfMemoryIsToldInOneLineAndLeavesTheOutputAsItWas) {
#ifdef TESSIMAR_SCAN_SANITIZED
  GTEST_SKIP() << "a sanitized program reserves more address space than any limit of it leaves";
#endif
  // The catalogue takes some 4 KB for each file: 25000 files need more than the whole limit,
  // which leaves room to map the program and its decoder libraries.
  for (int i = 0; i < 25000; ++i) photos.Write("many/" + std::to_string(i) + ".jpg", "x");
  const std::string pairs = out.Write("pairs.csv", "earlier pairs\n");
  for (const char* jobs : {"0", "2"}) {
    SCOPED_TRACE(jobs);
    const Result result =
        RunToolAfter("ulimit -v 81920 && ", {"--no-cache", "--jobs", jobs, "-o", pairs, photos / "many"}, out);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "tessimar-scan: out of memory\n");
    EXPECT_EQ(testing::ReadFileBytes(pairs), "earlier pairs\n");
  }
}

}  // namespace
}  // namespace tessimar
