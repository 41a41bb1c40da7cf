// The picture cache at scale: fills a database with 100,000 entries of full signatures,
// then times opening it and looking every entry up, and prints its size.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "cache/sqlite_picture_cache.h"

namespace {

using namespace tessimar;
using Clock = std::chrono::steady_clock;

constexpr int Entries = 100'000;
constexpr int PicturesPerFolder = 500;

std::string PathOf(int i) {
  return "/home/someone/Pictures/" + std::to_string(2000 + i / PicturesPerFolder) + "/IMG_" + std::to_string(i) +
         ".JPG";
}

FileStamp StampOf(int i) {
  constexpr std::int64_t Time = 1'600'000'000'000'000'000;
  return {2049, 1'000'000u + static_cast<std::uint64_t>(i), 3'000'000 + i, Time + i, Time + 2 * i};
}

// A full signature: 250 positions spread over the array, half of each sign, one of each in
// rows 1 to 125, listed in row-major order as an analysis lists them.
PictureAnalysis AnalysisOf(int i) {
  PictureAnalysis analysis;
  analysis.Analysed = true;
  analysis.Height = 3000;
  analysis.Width = 4000;
  for (std::size_t b = 0; b < analysis.PreBuffer.size(); ++b) analysis.PreBuffer[b] = static_cast<std::uint8_t>(b + i);
  for (int k = 0; k < SignatureSize / 2; ++k) {
    analysis.WaveletCoefsPos[k] = {k + 1, (k * 7 + i) % NumberOfPixels};
    analysis.WaveletCoefsNeg[k] = {k + 1, (k * 7 + i + NumberOfPixels / 2) % NumberOfPixels};
  }
  return analysis;
}

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

}  // namespace

int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : "/tmp/tessimar_cache_bench_" + std::to_string(::getpid()) + ".sqlite";
  std::filesystem::remove(path);
  const AnalysisKey key{100, 100, false};

  auto start = Clock::now();
  {
    SqlitePictureCache cache(path);
    for (int i = 0; i < Entries; ++i) cache.Store(PathOf(i), StampOf(i), key, AnalysisOf(i));
  }
  std::printf("store %d entries (batches of 200): %.2f s\n", Entries, Seconds(start));
  const auto bytes = std::filesystem::file_size(path);
  std::printf("database: %.1f MB, %.1f MB per 10,000 pictures\n", bytes / 1e6, bytes / 1e6 * 10'000 / Entries);

  int found = 0;
  {
    start = Clock::now();
    SqlitePictureCache cache(path);
    const double open = Seconds(start);
    start = Clock::now();
    for (int i = 0; i < Entries; ++i) found += cache.Find(PathOf(i), StampOf(i), key).has_value();
    const double lookups = Seconds(start);
    std::printf("open: %.1f ms; look up %d entries: %.2f s (%d found, %.1f us each)\n", open * 1e3, Entries, lookups,
                found, lookups * 1e6 / Entries);
  }
  std::filesystem::remove(path);
  return found == Entries ? 0 : 1;
}
