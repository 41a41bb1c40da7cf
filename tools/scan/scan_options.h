// The command line of tessimar-scan.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "analysis/analysis_pipeline.h"
#include "review/batch_plan.h"
#include "settings/settings_store.h"

namespace tessimar {

struct ScanOptions {
  StoredSettings Stored;  // types, sizes and switches
  std::vector<std::string> Folders;  // or, with Signature, the picture files
  std::string Output;                 // the CSV file; empty for standard output
  std::string CacheFile;              // the picture cache; empty for the user's own
  bool NoCache = false;
  int Jobs = 0;  // analysis worker threads; 0 analyses on the scan's own thread
  std::optional<BatchRule> Plan;  // print the files a batch clean-up would act on, not the CSV
  bool NulAfterPath = false;      // the planned paths each followed by '\0', not '\n'
  bool List = false;
  bool Signature = false;
  bool Help = false;
  bool Version = false;
};

// Thrown for a command line that cannot be followed; the message is one line.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Jobs defaults to defaultJobs, one worker per core unless a test says otherwise.
ScanOptions ParseScanOptions(const std::vector<std::string>& arguments, int defaultJobs = DefaultJobs());

std::string ScanUsage();

}  // namespace tessimar
