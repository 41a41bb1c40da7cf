// Runs every file of the folders given through the fuzz target it is linked with, without
// libFuzzer, so that the normal test run catches the return of a fault a fuzzer found: a
// crash, a broken property, or more memory than the fuzzers allow (TESSIMAR_FUZZ_MEMORY_MB).
#include <sys/resource.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "file_state.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

#define TESSIMAR_TEXT(x) #x
#define TESSIMAR_NUMBER_TEXT(x) TESSIMAR_TEXT(x)

#if defined(__SANITIZE_ADDRESS__)
// As libFuzzer's -malloc_limit_mb: one allocation above the limit fails even if it is never touched.
extern "C" const char* __asan_default_options() {
  return "max_allocation_size_mb=" TESSIMAR_NUMBER_TEXT(TESSIMAR_FUZZ_MEMORY_MB);
}
#endif

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> FilesIn(const fs::path& folder) {
  std::vector<fs::path> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::ranges::sort(files);
  return files;
}

long PeakRssMb() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: " << argv[0] << " FOLDER...\n";
    return 2;
  }
  for (int i = 1; i < argc; ++i) {
    const std::vector<fs::path> files = FilesIn(argv[i]);
    if (files.empty()) {
      std::cerr << argv[i] << ": no inputs\n";
      return 2;
    }
    for (const fs::path& file : files) {
      std::cout << file.string() << std::endl;  // flushed: a crash names its input
      const std::string bytes = tessimar::testing::ReadFileBytes(file);
      LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
      if (PeakRssMb() > TESSIMAR_FUZZ_MEMORY_MB) {
        std::cerr << file.string() << ": peak memory " << PeakRssMb() << " MB, above " << TESSIMAR_FUZZ_MEMORY_MB
                  << " MB\n";
        return 1;
      }
    }
  }
  std::cout << "peak memory " << PeakRssMb() << " MB\n";
  return 0;
}
