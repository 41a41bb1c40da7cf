#include "matching/matching_pass.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>
#include <optional>
#include <thread>

#include "matching/match_texts.h"
#include "mixed_folder.h"
#include "picture_fixtures.h"
#include "refused_threads.h"
#include "scan/scan_run.h"
#include "scripted_host.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

using testing::Image;

// A smooth picture with structure at several scales, as photographs have; shift moves
// its pattern a little.
Image Scene(int width, int height, int shift = 0) {
  return testing::MakeImage(width, height, 3, [=](int x, int y) {
    const double u = static_cast<double>(x) / width, v = static_cast<double>(y) / height;
    const double blob = std::exp(-((u - 0.3) * (u - 0.3) + (v - 0.6) * (v - 0.6)) * 12);
    auto level = [](double value) { return static_cast<std::uint8_t>(std::clamp(value, 0.0, 255.0)); };
    return std::vector<std::uint8_t>{level(128 + 100 * std::sin(9.0 * u + shift * 0.01) * std::cos(5.0 * v)),
                                     level(60 + 180 * blob + 30 * std::sin(23.0 * (u + v))),
                                     level(200 * v * (1 - u) + 40 * std::cos(17.0 * u * v))};
  });
}

Image Uniform(int width, int height) {
  return testing::MakeImage(width, height, 3, [](int, int) { return std::vector<std::uint8_t>{200, 30, 30}; });
}

// A scripted host that also runs EachPump at every pump.
class WatchingHost : public testing::ScriptedHost {
 public:
  void PumpMessages() override {
    ScriptedHost::PumpMessages();
    if (EachPump) EachPump();
  }
  std::function<void()> EachPump;
};

// What a pass leaves behind: its pairs, every caption it wrote, how far it got, and the
// analysis it recorded for each picture.
struct PassOutcome {
  std::vector<std::tuple<int, int, double>> Pairs;
  std::map<Caption, std::vector<std::string>> Captions;
  std::int32_t LastPicIndex = 0;
  std::vector<std::tuple<TCCVStage, std::int32_t, std::int32_t, TPreBuffer, TWaveletCoefs, TWaveletCoefs>> Records;
  friend bool operator==(const PassOutcome&, const PassOutcome&) = default;
};

class MatchingPassTest : public ::testing::Test {
 protected:
  // Walks the folder (by default the whole temporary folder), then runs the pass with a host
  // of its own.
  void Match(const std::string& folder = {}) {
    testing::ScriptedHost walkHost;
    ScanRun run(catalogue, settings, walkHost, TrashFolders(), ",");
    run.Walk({folder.empty() ? temp.Path() : folder});
    catalogue.AllocatePairs();
    MatchingPass(catalogue, settings, host, stopped, cache, jobs).MatchPictures();
    catalogue.TrimPairs();
  }
  PassOutcome Outcome() const {
    PassOutcome outcome{Pairs(), host.Captions, catalogue.LastPicIndex, {}};
    for (const TPicInfo& p : catalogue.PicList)
      outcome.Records.emplace_back(p.CCVStage, p.Height, p.Width, p.PreBuffer, p.WaveletCoefsPos, p.WaveletCoefsNeg);
    return outcome;
  }
  std::vector<std::tuple<int, int, double>> Pairs() const {
    std::vector<std::tuple<int, int, double>> pairs;
    for (std::int32_t i = 0; i <= catalogue.LastPairIndex; ++i) {
      const TPicturePair& p = catalogue.PicturePairs[i];
      pairs.emplace_back(p.PicIndex1, p.PicIndex2, p.Similarity);
    }
    return pairs;
  }
  std::string Progress(int done, int total) const {
    return std::string(MatchProgressPrefix) + std::to_string(done) + " / " + std::to_string(total);
  }

  testing::TempFolder temp;
  Catalogue catalogue;
  TSettings settings;
  WatchingHost host;
  std::atomic<bool> stopped{false};
  PictureCache* cache = nullptr;
  int jobs = 0;
};

TEST_F(MatchingPassTest, CopiesPairWithTheNearestEarlierCopyAt100) {
  const std::string scene = testing::JpegBytes(Scene(240, 160));
  for (const bool identicalOnly : {false, true}) {
    SCOPED_TRACE(identicalOnly);
    settings.SearchOnlyIdentical = identicalOnly;
    temp.Write("1.jpg", scene);
    temp.Write("2.jpg", testing::JpegBytes(Uniform(240, 160)));
    temp.Write("3.jpg", scene);
    temp.Write("4.jpg", scene);
    Match();
    EXPECT_EQ(Pairs(), (std::vector<std::tuple<int, int, double>>{{0, 2, 100.0}, {2, 3, 100.0}}));
    EXPECT_EQ(host.Captions[Caption::CurrentDuplicatesFound].back(), std::string(CurrentDuplicatesPrefix) + "2");
    EXPECT_EQ(catalogue.PicList[1].CCVStage, TCCVStage::Full);
    EXPECT_EQ(catalogue.PicList[0].Width, 240);
    EXPECT_EQ(catalogue.PicList[0].Height, 160);
  }
}

TEST_F(MatchingPassTest, AnExactCopyPairsWithItsTwinBeforeANearerLookAlike) {
  const std::string scene = testing::JpegBytes(Scene(300, 200), {.Quality = 95});
  temp.Write("a.jpg", scene);
  temp.Write("b.jpg", testing::JpegBytes(Scene(300, 200), {.Quality = 70}));
  temp.Write("c.jpg", scene);
  Match();
  const auto pairs = Pairs();
  ASSERT_EQ(pairs.size(), 2u);
  EXPECT_EQ(std::get<0>(pairs[0]), 0);
  EXPECT_EQ(std::get<1>(pairs[0]), 1);
  EXPECT_LT(std::get<2>(pairs[0]), 100);
  EXPECT_EQ(pairs[1], std::make_tuple(0, 2, 100.0));
}

TEST_F(MatchingPassTest, ReencodedAndConvertedPicturesPairBySignature) {
  temp.Write("a.jpg", testing::JpegBytes(Scene(300, 200), {.Quality = 95}));
  temp.Write("b.jpg", testing::JpegBytes(Scene(300, 200), {.Quality = 70}));
  temp.Write("c.png", testing::PngBytes(Scene(600, 400)));
  Match();
  const auto pairs = Pairs();
  ASSERT_EQ(pairs.size(), 2u);
  EXPECT_EQ(std::get<0>(pairs[0]), 0);
  EXPECT_EQ(std::get<1>(pairs[0]), 1);
  EXPECT_EQ(std::get<1>(pairs[1]), 2);
  for (const auto& pair : pairs) EXPECT_GT(std::get<2>(pair), 80);
  for (const TPicInfo& picture : catalogue.PicList) EXPECT_NE(picture.WaveletCoefsPos[0], TWaveletPoint{});
}

// Phones save HEIC or AVIF, the web serves WebP: each must pair with the JPEG of the same
// photograph and with the others, as must a copy, and a HEIC whose rotation property turns it.
TEST_F(MatchingPassTest, PhoneAndWebTypesPairWithTheirJpegsEveryWay) {
  const Image scene = Scene(640, 480, 4);
  const std::map<std::string, std::string> files = {
      {"a.jpg", testing::JpegBytes(scene, {.Quality = 85})},
      {"b.heic", testing::HeifBytes(scene, {.Quality = 50})},
      {"c.avif", testing::HeifBytes(scene, {.Avif = true, .Quality = 60})},
      {"d.webp", testing::WebpBytes(scene, {.Quality = 75})},
  };
  using File = std::pair<std::string, std::string>;  // name and bytes
  std::vector<std::pair<File, File>> cases;
  for (auto a = files.begin(); a != files.end(); ++a) {
    for (auto b = std::next(a); b != files.end(); ++b) cases.emplace_back(*a, *b);
    cases.emplace_back(*a, File{"copy of " + a->first, a->second});
  }
  const Image turned = testing::MakeImage(480, 640, 3, [&](int x, int y) {
    const std::uint8_t* p = scene.Samples.data() + (static_cast<std::size_t>(479 - x) * 640 + y) * 3;
    return std::vector<std::uint8_t>{p[0], p[1], p[2]};
  });
  cases.emplace_back(File{"turned.jpg", testing::JpegBytes(turned, {.Quality = 85})},
                     File{"rotated.heic", testing::HeifBytes(scene, {.Quality = 50, .Orientation = 6})});
  for (const auto& [first, second] : cases) {
    const std::string name = first.first + " and " + second.first;
    SCOPED_TRACE(name);
    temp.Write(name + "/" + first.first, first.second);
    temp.Write(name + "/" + second.first, second.second);
    catalogue = Catalogue();
    Match(temp / name);
    const auto pairs = Pairs();
    ASSERT_EQ(pairs.size(), 1u);
    EXPECT_GE(std::get<2>(pairs[0]), first.second == second.second ? 100 : 90);
  }
}

TEST_F(MatchingPassTest, IdenticalOnlyComputesNoSignatureAndPairsNoLookAlikes) {
  settings.SearchOnlyIdentical = true;
  temp.Write("a.jpg", testing::JpegBytes(Scene(300, 200), {.Quality = 95}));
  temp.Write("b.jpg", testing::JpegBytes(Scene(300, 200), {.Quality = 70}));
  Match();
  EXPECT_TRUE(Pairs().empty());
  for (const TPicInfo& picture : catalogue.PicList) {
    EXPECT_EQ(picture.CCVStage, TCCVStage::Full);
    EXPECT_EQ(picture.WaveletCoefsPos, TWaveletCoefs{});
    EXPECT_EQ(picture.WaveletCoefsNeg, TWaveletCoefs{});
  }
}

TEST_F(MatchingPassTest, EqualProbesWithOtherBytesPairBySignature) {
  // Same size and quality: the first 256 bytes are the same JPEG tables.
  const std::string a = testing::JpegBytes(Scene(300, 200));
  const std::string b = testing::JpegBytes(Scene(300, 200, 3));
  ASSERT_EQ(a.substr(0, 256), b.substr(0, 256));
  ASSERT_NE(a, b);
  temp.Write("a.jpg", a);
  temp.Write("b.jpg", b);
  temp.Write("c.jpg", testing::JpegBytes(Scene(300, 200, 3), {.Quality = 70}));
  for (const bool identicalOnly : {false, true}) {
    SCOPED_TRACE(identicalOnly);
    settings.SearchOnlyIdentical = identicalOnly;
    Match();
    if (identicalOnly) {
      EXPECT_TRUE(Pairs().empty());
      continue;
    }
    const auto pairs = Pairs();
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(std::get<0>(pairs[0]), 0);
    EXPECT_EQ(std::get<1>(pairs[0]), 1);
    EXPECT_LT(std::get<2>(pairs[0]), 100);
    EXPECT_EQ(std::get<0>(pairs[1]), 1);
    EXPECT_EQ(std::get<1>(pairs[1]), 2);
  }
}

TEST_F(MatchingPassTest, TwoNamesOfOneFileNeverPair) {
  const std::string scene = testing::JpegBytes(Scene(240, 160));
  temp.Write("a.jpg", scene);
  ASSERT_EQ(::link((temp / "a.jpg").c_str(), (temp / "b.jpg").c_str()), 0);
  temp.Write("c.jpg", scene);
  for (const bool identicalOnly : {false, true}) {
    SCOPED_TRACE(identicalOnly);
    settings.SearchOnlyIdentical = identicalOnly;
    // The walk catalogues a file once; a catalogue holding both names is made by hand.
    catalogue.Reset();
    catalogue.AllocateCatalogue();
    catalogue.RegisterFolder(temp.Path());
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
      struct stat st {};
      ASSERT_EQ(::stat((temp / name).c_str(), &st), 0);
      TPicInfo picture;
      picture.FileName = name;
      picture.Size = st.st_size;
      picture.Identity = {st.st_dev, st.st_ino};
      catalogue.AppendPicture(picture);
    }
    catalogue.TrimCatalogue();
    catalogue.AllocatePairs();
    MatchingPass(catalogue, settings, host, stopped).MatchPictures();
    EXPECT_EQ(Pairs(), (std::vector<std::tuple<int, int, double>>{{1, 2, 100.0}}));
  }
}

TEST_F(MatchingPassTest, AUniformPictureKeepsNoSignatureAndPairsOnlyWithItsCopy) {
  temp.Write("a.png", testing::PngBytes(Uniform(100, 100)));
  temp.Write("b.jpg", testing::JpegBytes(Uniform(100, 100)));
  temp.Write("c.png", testing::PngBytes(Uniform(100, 100)));
  Match();  // JPEG files come first in the catalogue: b.jpg, a.png, c.png
  EXPECT_EQ(Pairs(), (std::vector<std::tuple<int, int, double>>{{1, 2, 100.0}}));
  EXPECT_EQ(catalogue.PicList[0].CCVStage, TCCVStage::Full);
  EXPECT_EQ(catalogue.PicList[0].WaveletCoefsPos, TWaveletCoefs{});
  EXPECT_EQ(catalogue.PicList[0].WaveletCoefsNeg, TWaveletCoefs{});
}

TEST_F(MatchingPassTest, PicturesFailingToLoadOrTooSmallArePassedOver) {
  settings.MinPicHeight = 0;
  settings.MinPicWidth = 0;
  const std::string thin = testing::PngBytes(Scene(50, 4));
  temp.Write("1.png", thin);
  temp.Write("2.png", "not a picture at all");
  temp.Write("3.png", thin);
  temp.Write("4.png", testing::PngBytes(Scene(40, 30)));
  Match();
  EXPECT_TRUE(Pairs().empty());
  EXPECT_EQ(catalogue.PicList[0].CCVStage, TCCVStage::None);
  EXPECT_EQ(catalogue.PicList[0].Height, 0);
  EXPECT_EQ(catalogue.PicList[1].CCVStage, TCCVStage::None);
  EXPECT_EQ(catalogue.PicList[3].CCVStage, TCCVStage::Full);
  EXPECT_EQ(host.Captions[Caption::FilesCount], (std::vector<std::string>{Progress(4, 4), Progress(4, 4)}));
}

TEST_F(MatchingPassTest, TheSizeFloorIsFiveWhateverTheSettings) {
  settings.MinPicHeight = settings.MinPicWidth = 0;
  temp.Write("a.png", testing::PngBytes(Scene(5, 5)));
  temp.Write("b.png", testing::PngBytes(Scene(4, 5)));
  settings.MinPicHeight = 6;
  Match();
  EXPECT_EQ(catalogue.PicList[0].CCVStage, TCCVStage::None);
  settings.MinPicHeight = -3;
  Match();
  EXPECT_EQ(catalogue.PicList[0].CCVStage, TCCVStage::Full);
  EXPECT_EQ(catalogue.PicList[1].CCVStage, TCCVStage::None);
}

TEST_F(MatchingPassTest, ProgressForNoneAndOnePicture) {
  Match();
  EXPECT_EQ(host.Captions[Caption::FilesCount], (std::vector<std::string>{Progress(0, 0)}));
  temp.Write("only.jpg", testing::JpegBytes(Scene(160, 120)));
  host = {};
  Match();
  EXPECT_EQ(host.Captions[Caption::FilesCount], (std::vector<std::string>{Progress(1, 1), Progress(1, 1)}));
  EXPECT_TRUE(Pairs().empty());
}

TEST_F(MatchingPassTest, AStopKeepsThePairsFoundSoFar) {
  const std::string scene = testing::JpegBytes(Scene(240, 160));
  for (const char* name : {"1.jpg", "2.jpg", "3.jpg", "4.jpg"}) temp.Write(name, scene);
  // The pass pumps at each picture and after every block of a byte comparison; the
  // third picture's pump is the first after the second picture's comparison.
  const std::size_t blocks = (scene.size() + 1023) / 1024 + 1;
  host.AtPump(static_cast<int>(2 + blocks + 1), [&] { stopped = true; });
  Match();
  EXPECT_EQ(Pairs(), (std::vector<std::tuple<int, int, double>>{{0, 1, 100.0}}));
  EXPECT_EQ(catalogue.LastPicIndex, 1);
  EXPECT_EQ(host.Captions[Caption::FilesCount].back(), Progress(2, 4));
}

TEST_F(MatchingPassTest, AStopDuringAByteComparisonEndsThePassThere) {
  // Copies of 16 MB: their comparison reads 16,385 blocks and is stopped at its third.
  const std::string big = testing::JpegBytes(Scene(240, 160)) + std::string(16 << 20, '\0');
  for (const char* name : {"1.jpg", "2.jpg", "3.jpg"}) temp.Write(name, big);
  host.AtPump(2 + 3, [&] { stopped = true; });
  Match();
  EXPECT_EQ(host.Pumps, 2 + 3);
  EXPECT_TRUE(Pairs().empty());
  EXPECT_EQ(catalogue.LastPicIndex, 1);
  EXPECT_EQ(host.Captions[Caption::FilesCount].back(), Progress(1, 3));
}

TEST_F(MatchingPassTest, WorkersGiveThePairsCaptionsAndRecordsOfThePassWithout) {
  testing::WriteMixedFolder(temp, "mixed");
  settings.SearchTIFF = true;
  struct Mode {
    bool identicalOnly;
    std::int32_t minSize;
  };
  for (const Mode mode : {Mode{false, 100}, Mode{true, 100}, Mode{false, 0}}) {
    SCOPED_TRACE(std::to_string(mode.identicalOnly) + " " + std::to_string(mode.minSize));
    settings.SearchOnlyIdentical = mode.identicalOnly;
    settings.MinPicWidth = settings.MinPicHeight = mode.minSize;
    jobs = 0;
    host = {};
    Match();
    const PassOutcome sequential = Outcome();
    EXPECT_GE(sequential.Pairs.size(), 5u);
    EXPECT_EQ(sequential.LastPicIndex, 38);  // the empty file is not catalogued
    for (const int workers : {1, 2, 4}) {
      SCOPED_TRACE(workers);
      jobs = workers;
      host = {};
      Match();
      EXPECT_TRUE(Outcome() == sequential);
      EXPECT_EQ(Pairs(), sequential.Pairs);
      EXPECT_EQ(host.Captions, sequential.Captions);
    }
  }
}

TEST_F(MatchingPassTest, WorkersTheSystemRefusesLeaveThePassToItsOwnThreadAlike) {
  testing::WriteMixedFolder(temp, "mixed");
  settings.SearchTIFF = true;
  Match();
  const PassOutcome sequential = Outcome();
  EXPECT_GE(sequential.Pairs.size(), 5u);
  for (const int workers : {1, 4}) {
    SCOPED_TRACE(workers);
    jobs = workers;
    host = {};
    const testing::RefusedThreads refused;
    Match();
    EXPECT_TRUE(Outcome() == sequential);
    EXPECT_EQ(host.Captions, sequential.Captions);
  }
}

// The stop is asked for at the first pump once picture k - 1 has begun, which is the pump
// at the start of picture k when no other pump comes between: it takes effect there.
TEST_F(MatchingPassTest, AStopBeforeAnyPictureLeavesWhatThePassWithoutWorkersLeaves) {
  testing::WriteMixedFolder(temp, "mixed");
  settings.SearchTIFF = true;
  Match();
  const std::int32_t count = catalogue.PicListCapacity;
  for (std::int32_t k = 0; k <= count; k += k < 8 ? 1 : 4) {
    SCOPED_TRACE(k);
    std::optional<PassOutcome> sequential;
    for (const int workers : {0, 2}) {
      SCOPED_TRACE(workers);
      jobs = workers;
      host = {};
      stopped = false;
      host.EachPump = [&, k] {
        if (k == 0 || (host.Pumps >= 2 && catalogue.LastPicIndex == k - 1)) stopped = true;
      };
      Match();
      if (k > 0 && k < count) {
        EXPECT_EQ(catalogue.LastPicIndex, k - 1);
      }
      if (!sequential) {
        sequential = Outcome();
      } else {
        EXPECT_TRUE(Outcome() == *sequential);
        EXPECT_EQ(Pairs(), sequential->Pairs);
        EXPECT_EQ(host.Captions, sequential->Captions);
      }
    }
  }
}

// Counts the lookups and stores the workers make.
class CountingCache : public PictureCache {
 public:
  std::optional<PictureAnalysis> Find(const std::string&, const FileStamp&, const AnalysisKey&) override {
    ++Calls;
    return std::nullopt;
  }
  void Store(const std::string&, const FileStamp&, const AnalysisKey&, const PictureAnalysis&) override { ++Calls; }
  void Prune(const std::string&, bool, const std::unordered_set<std::string>&) override {}
  void Flush() override {}
  std::atomic<int> Calls{0};
};

TEST_F(MatchingPassTest, APassEndedByAStopOrAnErrorLeavesNoWorkerRunning) {
  const std::string scene = testing::JpegBytes(Scene(240, 160));
  for (int i = 0; i < 40; ++i) temp.Write(std::to_string(i) + ".jpg", scene);
  CountingCache counting;
  cache = &counting;
  jobs = 2;
  host.AtPump(4, [] { throw std::runtime_error("the window went away"); });
  EXPECT_THROW(Match(), std::runtime_error);
  const int afterError = counting.Calls;
  EXPECT_LT(afterError, 2 * 40);
  host = {};
  host.AtPump(3, [this] { stopped = true; });
  Match();
  const int afterStop = counting.Calls;
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(counting.Calls, afterStop);
  EXPECT_LT(afterStop - afterError, 2 * 40);
}

}  // namespace
}  // namespace tessimar
