// tessimar-scan with worker threads writes, byte for byte, the CSV of the scan without them.
#include <gtest/gtest.h>

#include "mixed_folder.h"
#include "run_tool.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

using testing::Lines;
using testing::RunTool;
using testing::With;
using Result = testing::ToolResult;

// The summary line less its time, which differs from run to run.
std::string Summary(const std::string& err) {
  const std::size_t pairs = err.find(" pairs, ");
  return pairs == std::string::npos ? err : err.substr(0, pairs);
}

class ScanJobsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    photos_ = new testing::TempFolder;
    folder_ = testing::WriteMixedFolder(*photos_, "photos");
  }
  static void TearDownTestSuite() {
    delete photos_;
    photos_ = nullptr;
  }

  static testing::TempFolder* photos_;
  static std::string folder_;
  testing::TempFolder out;
};

testing::TempFolder* ScanJobsTest::photos_ = nullptr;
std::string ScanJobsTest::folder_;

TEST_F(ScanJobsTest, EveryNumberOfWorkersWritesTheCsvOfTheSequentialScan) {
  const std::vector<std::string> types = {"--types", "bmp,jpg,gif,png,tif", "--no-cache"};
  const std::vector<std::vector<std::string>> modes = {
      {}, {"--identical-only"}, {"--min-width", "0", "--min-height", "0"}, {"--min-width", "250"}};
  for (const auto& mode : modes) {
    SCOPED_TRACE(::testing::PrintToString(mode));
    const std::vector<std::string> arguments = With(types, mode);
    const Result sequential = RunTool(With(arguments, {"--jobs", "0", folder_}), out);
    ASSERT_EQ(sequential.status, 0) << sequential.err;
    EXPECT_GE(Lines(sequential.out), 7) << sequential.out;  // the header and at least three pairs
    if (mode.empty()) {
      EXPECT_NE(sequential.out.find(";100;"), std::string::npos);
      // Look-alikes too, below 100.
      EXPECT_NE(sequential.out.find("a q60.jpg;"), std::string::npos) << sequential.out;
    }
    for (const char* jobs : {"1", "2", "4"}) {
      SCOPED_TRACE(jobs);
      const Result parallel = RunTool(With(arguments, {"--jobs", jobs, folder_}), out);
      EXPECT_EQ(parallel.status, 0);
      EXPECT_EQ(parallel.out, sequential.out);
      EXPECT_EQ(Summary(parallel.err), Summary(sequential.err));
    }
  }
}

TEST_F(ScanJobsTest, WorkersSharingTheCacheWriteTheSameCsv) {
  const std::vector<std::string> arguments = {"--types", "bmp,jpg,gif,png,tif", "--cache", out / "pictures.sqlite"};
  const Result sequential = RunTool({"--no-cache", "--types", "bmp,jpg,gif,png,tif", "--jobs", "0", folder_}, out);
  ASSERT_EQ(sequential.status, 0);
  for (const char* jobs : {"4", "2", "0", "1"}) {  // a cold cache, then warm ones
    SCOPED_TRACE(jobs);
    const Result cached = RunTool(With(arguments, {"--jobs", jobs, folder_}), out);
    EXPECT_EQ(cached.status, 0) << cached.err;
    EXPECT_EQ(cached.out, sequential.out);
    if (std::string(jobs) != "4") {
      EXPECT_NE(cached.err.find(", 39 from the cache"), std::string::npos) << cached.err;
    }
  }
}

TEST_F(ScanJobsTest, ABadNumberOfJobsEndsWithOneLineAndStatusTwo) {
  for (const char* jobs : {"-1", "x", "", "2x", "1.5", "+2", "1025", "99999999999"}) {
    SCOPED_TRACE(jobs);
    const Result result = RunTool({"--jobs", jobs, folder_}, out);
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(result.out.empty());
    EXPECT_EQ(Lines(result.err), 1) << result.err;
    EXPECT_NE(result.err.find("--jobs"), std::string::npos) << result.err;
  }
  const Result missing = RunTool({folder_, "--jobs"}, out);
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(Lines(missing.err), 1) << missing.err;
}

}  // namespace
}  // namespace tessimar
