// Times the analysis of one 12-megapixel picture of each kind (load plus signature) and
// the comparisons of one picture against 20,000 earlier catalogue records.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <numeric>
#include <random>

#include "analysis/picture_signature.h"
#include "decode/picture_loader.h"
#include "matching/pair_finder.h"
#include "picture_fixtures.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

constexpr int Width = 4000;
constexpr int Height = 3000;
constexpr int EarlierRecords = 20000;

// A photograph-like scene: smooth gradients with some texture, so the encoders work as usual.
testing::Image Scene() {
  return testing::MakeImage(Width, Height, 3, [](int x, int y) {
    const auto wave = static_cast<std::uint8_t>((x * 7 + y * 3) % 251);
    return std::vector<std::uint8_t>{static_cast<std::uint8_t>(x * 255 / Width), wave,
                                     static_cast<std::uint8_t>(y * 255 / Height)};
  });
}

// The 12-megapixel files, written once per run. TESSIMAR_BENCH_JPEG names a JPEG to time instead
// of the generated one, so that other decoders can be timed on the very same file.
const std::string& PictureFile(const std::string& kind) {
  static testing::TempFolder folder;
  static std::map<std::string, std::string> files;
  if (auto it = files.find(kind); it != files.end()) return it->second;
  const char* given = std::getenv("TESSIMAR_BENCH_JPEG");
  if (kind == "jpg" && given != nullptr) return files[kind] = given;
  static const testing::Image scene = Scene();
  const std::string bytes = kind == "jpg"   ? testing::JpegBytes(scene, {.Quality = 90})
                            : kind == "png" ? testing::PngBytes(scene)
                                            : testing::TiffBytes(scene);
  return files[kind] = folder.Write("scene." + kind, bytes);
}

void BM_AnalysePicture(benchmark::State& state, const std::string& kind) {
  const std::string& file = PictureFile(kind);
  auto bitmap = std::make_unique<WorkingBitmap>();
  auto coefficients = std::make_unique<CoefficientArray>();
  TWaveletCoefs positive{}, negative{};
  for (auto _ : state) {
    benchmark::DoNotOptimize(LoadPicture(file, *bitmap));
    PictureSignature(*bitmap, *coefficients, positive, negative);
  }
}
BENCHMARK_CAPTURE(BM_AnalysePicture, jpeg_12mp, std::string("jpg"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_AnalysePicture, png_12mp, std::string("png"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_AnalysePicture, tiff_12mp, std::string("tif"))->Unit(benchmark::kMillisecond);

// Records that all pass the shape test and differ in probe, so each comparison counts slots.
// Each record keeps 250 distinct random positions, as a signature does.
Catalogue SyntheticCatalogue() {
  std::mt19937 random(12345);
  Catalogue catalogue;
  catalogue.Reset();
  catalogue.AllocateCatalogue();
  catalogue.RegisterFolder("/synthetic/");
  for (int i = 0; i <= EarlierRecords; ++i) {
    TPicInfo picture;
    picture.FileName = std::to_string(i) + ".jpg";
    catalogue.AppendPicture(picture);
    TPicInfo& stored = catalogue.PicList[static_cast<std::size_t>(i)];
    stored.CCVStage = TCCVStage::Full;
    stored.Width = 4000;
    stored.Height = 3000;
    stored.PreBuffer[0] = static_cast<std::uint8_t>(i);
    stored.PreBuffer[1] = static_cast<std::uint8_t>(i >> 8);
    std::vector<int> positions(NumberOfPixels * NumberOfPixels - 1);
    std::iota(positions.begin(), positions.end(), 1);
    std::shuffle(positions.begin(), positions.end(), random);
    for (int slot = 0; slot < SignatureSize / 2; ++slot) {
      const int p = positions[2 * slot], n = positions[2 * slot + 1];
      stored.WaveletCoefsPos[slot] = {p / NumberOfPixels, p % NumberOfPixels};
      stored.WaveletCoefsNeg[slot] = {n / NumberOfPixels, n % NumberOfPixels};
    }
  }
  catalogue.TrimCatalogue();
  return catalogue;
}

void BM_CompareWithEarlierRecords(benchmark::State& state) {
  const Catalogue catalogue = SyntheticCatalogue();
  PairFinder finder(catalogue, false, false);
  for (std::int32_t i = 0; i < EarlierRecords; ++i) finder.Add(i);
  for (auto _ : state) {
    benchmark::DoNotOptimize(finder.FindMatch(EarlierRecords, [] { return true; }));
  }
  state.counters["comparisons_per_s"] =
      benchmark::Counter(EarlierRecords, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_CompareWithEarlierRecords)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessimar

BENCHMARK_MAIN();
