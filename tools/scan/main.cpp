// tessimar-scan: runs the scan engine without a window.
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "catalogue/catalogue.h"
#include "platform/file_identity.h"
#include "platform/trash_folders.h"
#include "scan/listed_folders.h"
#include "platform/scan_host.h"
#include "scan/scan_run.h"
#include "scan_options.h"

namespace {

constexpr int ExitUsage = 2;
constexpr int ExitInterrupted = 130;

std::atomic<bool>* InterruptTarget = nullptr;

extern "C" void OnInterrupt(int) {
  if (InterruptTarget != nullptr) *InterruptTarget = true;
}

class ConsoleHost : public tessimar::ScanHost {
 public:
  explicit ConsoleHost(bool scanSubfolders) : scanSubfolders_(scanSubfolders) {}
  void PumpMessages() override {}
  void SetCaption(tessimar::Caption, const std::string&) override {}
  bool ScanSubfolders() const override { return scanSubfolders_; }
  void ShowError(const std::string& text) override { std::cerr << "tessimar-scan: " << text << '\n'; }

 private:
  bool scanSubfolders_;
};

// Listed folders are absolute texts ending in '/', as the window lists them.
std::vector<std::string> ListedFolders(const std::vector<std::string>& arguments) {
  std::vector<std::string> folders;
  for (const std::string& argument : arguments) {
    const auto absolute = std::filesystem::absolute(argument).lexically_normal();
    const std::string folder = tessimar::ListedFolderText(absolute.string());
    if (!tessimar::IsFolder(folder)) std::cerr << "tessimar-scan: not a folder, passed over: " << argument << '\n';
    folders.push_back(folder);
  }
  return folders;
}

int Scan(const tessimar::ScanOptions& options) {
  const auto folders = ListedFolders(options.Folders);
  tessimar::Catalogue catalogue;
  ConsoleHost host(options.Stored.ScanSubfolders);
  tessimar::ScanRun run(catalogue, options.Stored.Settings, host, tessimar::TrashFolders::OfThisSystem(), ",");
  if (!run.CheckPreconditions(folders, false)) return ExitUsage;

  InterruptTarget = &run.ScanStopped;
  std::signal(SIGINT, OnInterrupt);
  const auto start = std::chrono::steady_clock::now();
  run.Run(folders);
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  std::signal(SIGINT, SIG_DFL);
  InterruptTarget = nullptr;

  if (options.List)
    for (std::int32_t i = 0; i <= catalogue.LastPicIndex; ++i) std::cout << catalogue.FullPath(i) << '\n';
  std::cout.flush();
  const bool stopped = run.ScanStopped;
  std::fprintf(stderr, "tessimar-scan: %d files catalogued in %.2f s%s\n", catalogue.LastPicIndex + 1,
               seconds.count(), stopped ? ", stopped" : "");
  return stopped ? ExitInterrupted : 0;
}

}  // namespace

int main(int argc, char** argv) {
  tessimar::ScanOptions options;
  try {
    options = tessimar::ParseScanOptions({argv + 1, argv + argc});
  } catch (const tessimar::UsageError& error) {
    std::cerr << "tessimar-scan: " << error.what() << " (see tessimar-scan --help)\n";
    return ExitUsage;
  }
  if (options.Help) {
    std::cout << tessimar::ScanUsage;
    return 0;
  }
  if (options.Version) {
    std::cout << "tessimar-scan " << TESSIMAR_VERSION << '\n';
    return 0;
  }
  return Scan(options);
}
