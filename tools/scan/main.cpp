// tessimar-scan: runs the scan engine without a window.
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <new>
#include <optional>
#include <sstream>

#include "analysis/picture_signature.h"
#include "cache/cache_location.h"
#include "cache/sqlite_picture_cache.h"
#include "catalogue/catalogue.h"
#include "console_host.h"
#include "decode/picture_loader.h"
#include "platform/file_identity.h"
#include "platform/file_replacement.h"
#include "platform/path_text.h"
#include "platform/trash_folders.h"
#include "review/batch_plan.h"
#include "review/csv_export.h"
#include "scan/scan_run.h"
#include "scan_options.h"

namespace {

using namespace tessimar;

constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;
constexpr int ExitInterrupted = 130;

std::atomic<bool>* InterruptTarget = nullptr;

extern "C" void OnInterrupt(int) {
  if (InterruptTarget != nullptr) *InterruptTarget = true;
}

// Ctrl+C sets the stop flag while this lives, however the scan ends.
class InterruptStops {
 public:
  explicit InterruptStops(std::atomic<bool>& stop) {
    InterruptTarget = &stop;
    std::signal(SIGINT, OnInterrupt);
  }
  InterruptStops(const InterruptStops&) = delete;
  InterruptStops& operator=(const InterruptStops&) = delete;
  ~InterruptStops() {
    std::signal(SIGINT, SIG_DFL);
    InterruptTarget = nullptr;
  }
};

// Listed folders are absolute texts ending in '/', as the window lists them.
std::vector<std::string> ListedFolders(const std::vector<std::string>& arguments) {
  std::vector<std::string> folders;
  for (const std::string& argument : arguments) {
    const auto absolute = std::filesystem::absolute(argument).lexically_normal();
    const std::string folder = WithTrailingSlash(absolute.string());
    if (!IsFolder(folder)) std::cerr << "tessimar-scan: not a folder, passed over: " << argument << '\n';
    folders.push_back(folder);
  }
  return folders;
}

// Standard output, flushed; false, with a message, when it could not be written.
bool StandardOutputWritten() {
  std::cout.flush();
  if (std::cout) return true;
  std::cerr << "tessimar-scan: cannot write to standard output\n";
  return false;
}

// The whole text at once, so a failed or killed scan leaves no half-written file.
bool WriteOutput(std::optional<FileReplacement>& file, const std::string& text) {
  if (!file) {
    std::cout << text;
    return StandardOutputWritten();
  }
  try {
    file->Commit(text);
    return true;
  } catch (const std::runtime_error& error) {
    std::cerr << "tessimar-scan: " << error.what() << '\n';
    return false;
  }
}

// The picture cache a full scan uses, or nothing, told once on standard error, when it
// cannot be had: the scan then analyses every picture.
std::unique_ptr<SqlitePictureCache> OpenCache(const ScanOptions& options) {
  if (options.NoCache || options.List) return nullptr;
  try {
    return std::make_unique<SqlitePictureCache>(options.CacheFile.empty() ? CacheFile() : options.CacheFile);
  } catch (const CacheError& error) {
    std::cerr << "tessimar-scan: cache not used: " << error.what() << '\n';
    return nullptr;
  }
}

std::string CacheSummary(const SqlitePictureCache* cache) {
  return cache != nullptr ? ", " + std::to_string(cache->Hits()) + " from the cache" : std::string();
}

// The files the batch clean-up would act on, in its order, each path followed by separator.
void WritePlan(std::ostream& out, const Catalogue& catalogue, const BatchRule& rule, char separator) {
  for (const BatchTarget& target : PlanBatch(catalogue, rule)) out << catalogue.FullPath(target.Picture) << separator;
}

int Scan(const ScanOptions& options) {
  const auto folders = ListedFolders(options.Folders);
  Catalogue catalogue;
  ConsoleHost host(options.Stored.ScanSubfolders);
  // What stops a scan from starting is told before the cache is opened.
  if (!ScanRun(catalogue, options.Stored.Settings, host, TrashFolders(), ",").CheckPreconditions(folders, false))
    return ExitUsage;
  // An output that cannot be written is told before the scan, not after it.
  std::optional<FileReplacement> output;
  try {
    if (!options.Output.empty()) output.emplace(options.Output);
  } catch (const std::runtime_error& error) {
    std::cerr << "tessimar-scan: " << error.what() << '\n';
    return ExitUsage;
  }
  const std::unique_ptr<SqlitePictureCache> cache = OpenCache(options);
  ScanRun run(catalogue, options.Stored.Settings, host, TrashFolders::OfThisSystem(), ",", cache.get(), options.Jobs);

  const auto start = std::chrono::steady_clock::now();
  {
    const InterruptStops interrupt(run.ScanStopped);
    options.List ? run.Walk(folders) : run.Run(folders);
  }
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  host.EndProgress();

  std::ostringstream text;
  if (options.List) {
    for (std::int32_t i = 0; i <= catalogue.LastPicIndex; ++i) text << catalogue.FullPath(i) << '\n';
  } else if (options.Plan) {
    WritePlan(text, catalogue, *options.Plan, options.NulAfterPath ? '\0' : '\n');
  } else {
    WritePairsCsv(text, catalogue, ",");
  }
  const bool written = WriteOutput(output, text.str());
  const bool stopped = run.ScanStopped;
  std::fprintf(stderr, "tessimar-scan: %d files scanned, %d pairs, %.2f s%s%s\n", catalogue.LastPicIndex + 1,
               catalogue.PairCount(), seconds.count(), CacheSummary(cache.get()).c_str(), stopped ? ", stopped" : "");
  if (!written) return ExitFailure;
  return stopped ? ExitInterrupted : 0;
}

void PrintPositions(std::ostream& out, const TWaveletCoefs& positions) {
  const char* separator = "";
  for (const TWaveletPoint& p : positions) {
    if (p == TWaveletPoint{}) continue;
    out << separator << p.X << ',' << p.Y;
    separator = " ";
  }
  out << '\n';
}

int Signatures(const ScanOptions& options) {
  if (options.Folders.empty()) {
    std::cerr << "tessimar-scan: --signature needs one or more picture files (see tessimar-scan --help)\n";
    return ExitUsage;
  }
  auto bitmap = std::make_unique<WorkingBitmap>();
  auto coefficients = std::make_unique<CoefficientArray>();
  int status = 0;
  for (const std::string& file : options.Folders) {
    std::cout << file << '\n';
    try {
      const PictureSize size = LoadPicture(file, *bitmap, options.Stored.Settings);
      TWaveletCoefs positive{}, negative{};
      PictureSignature(*bitmap, *coefficients, positive, negative);
      std::cout << "height " << size.Height << " width " << size.Width << '\n';
      PrintPositions(std::cout, positive);
      PrintPositions(std::cout, negative);
    } catch (const std::exception& error) {
      std::cout << "cannot load: " << error.what() << '\n';
      status = ExitFailure;
    }
  }
  return StandardOutputWritten() ? status : ExitFailure;
}

}  // namespace

int main(int argc, char** argv) {
  ScanOptions options;
  try {
    options = ParseScanOptions({argv + 1, argv + argc});
  } catch (const UsageError& error) {
    std::cerr << "tessimar-scan: " << error.what() << " (see tessimar-scan --help)\n";
    return ExitUsage;
  }
  if (options.Help || options.Version) {
    std::cout << (options.Help ? ScanUsage() : "tessimar-scan " TESSIMAR_VERSION "\n");
    return StandardOutputWritten() ? 0 : ExitFailure;
  }
  // What ends a scan midway, memory exhausted above all, is told in one line; an output
  // file named keeps what it held.
  try {
    return options.Signature ? Signatures(options) : Scan(options);
  } catch (const std::bad_alloc&) {
    std::fputs("tessimar-scan: out of memory\n", stderr);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tessimar-scan: %s\n", error.what());
  }
  return ExitFailure;
}
