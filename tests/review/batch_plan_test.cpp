#include "review/batch_plan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <stdexcept>

#include "catalogue_of.h"

namespace tessimar {
namespace {

struct Picture {
  std::string Path;
  std::int32_t Width = 4000;
  std::int32_t Height = 3000;
  std::int64_t Size = 2'000'000;
  std::uint32_t Time = 0x5A210000;  // 2025-01-01 00:00
};

Catalogue CatalogueOf(const std::vector<Picture>& pictures, const std::vector<TPicturePair>& pairs) {
  std::vector<std::string> paths;
  for (const Picture& picture : pictures) paths.push_back(picture.Path);
  Catalogue catalogue = testing::CatalogueOf(paths, pairs);
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    TPicInfo& info = catalogue.PicList[i];
    info.Width = pictures[i].Width;
    info.Height = pictures[i].Height;
    info.Size = pictures[i].Size;
    info.Time = static_cast<std::int32_t>(pictures[i].Time);
  }
  return catalogue;
}

// Plain copies A to D in one folder, for the cases that turn on the pairs alone.
const std::vector<Picture> Copies = {{"/p/a.jpg"}, {"/p/b.jpg"}, {"/p/c.jpg"}, {"/p/d.jpg"}};

BatchRule Rule(BatchChoice choice, double minSimilarity = 100, std::vector<std::string> protectedFolders = {}) {
  return {choice, minSimilarity, std::move(protectedFolders)};
}

TEST(BatchPlanTest, TheRuleChoosesOnePictureOfEachPair) {
  using enum BatchChoice;
  struct Case {
    const char* name;
    std::vector<Picture> pictures;
    std::vector<TPicturePair> pairs;
    BatchRule rule;
    std::vector<BatchTarget> targets;
  };
  const Case cases[] = {
      {"first", Copies, {{0, 1, 100}}, Rule(First), {{0, 1}}},
      {"second", Copies, {{0, 1, 100}}, Rule(Second), {{1, 0}}},
      {"lesser: a full tie takes the second", Copies, {{0, 1, 100}}, Rule(Lesser), {{1, 0}}},
      {"lesser: fewer pixels, first", {{"/p/a.jpg", 3000}, {"/p/b.jpg", 4000, 3000, 1}}, {{0, 1, 100}},
       Rule(Lesser), {{0, 1}}},
      {"lesser: fewer pixels, second, though larger", {{"/p/a.jpg"}, {"/p/b.jpg", 4000, 2999, 9'000'000}},
       {{0, 1, 100}}, Rule(Lesser), {{1, 0}}},
      {"lesser: pixels count, not the width",
       {{"/p/a.jpg", 3000, 4000, 2'000'001}, {"/p/b.jpg", 4000, 3000, 2'000'000}}, {{0, 1, 100}}, Rule(Lesser),
       {{1, 0}}},
      {"lesser: pixels beyond 32 bits", {{"/p/a.jpg", 66000, 66000}, {"/p/b.jpg", 40000, 40000}}, {{0, 1, 100}},
       Rule(Lesser), {{1, 0}}},
      {"lesser: same pixels, the smaller file",
       {{"/p/a.jpg", 4000, 3000, 1'999'999, 0x40000000}, {"/p/b.jpg"}}, {{0, 1, 100}}, Rule(Lesser), {{0, 1}}},
      {"lesser: then the later time, first",
       {{"/p/a.jpg", 4000, 3000, 2'000'000, 0x5A210001}, {"/p/b.jpg"}}, {{0, 1, 100}}, Rule(Lesser), {{0, 1}}},
      {"lesser: the date before the time of day",
       {{"/p/a.jpg", 4000, 3000, 2'000'000, 0x5A20FFFF}, {"/p/b.jpg", 4000, 3000, 2'000'000, 0x5A210000}},
       {{0, 1, 100}}, Rule(Lesser), {{1, 0}}},
      {"lesser: a date from 2044 on is later, not negative",
       {{"/p/a.jpg", 4000, 3000, 2'000'000, 0x80210000}, {"/p/b.jpg"}}, {{0, 1, 100}}, Rule(Lesser), {{0, 1}}},
      {"protected choice: the other picture instead", {{"/keep/a.jpg"}, {"/p/b.jpg"}}, {{0, 1, 100}},
       Rule(First, 100, {"/keep/"}), {{1, 0}}},
      {"protected choice on the second side", {{"/p/a.jpg"}, {"/keep/b.jpg"}}, {{0, 1, 100}},
       Rule(Second, 100, {"/keep/"}), {{0, 1}}},
      {"protected keeper: the choice stands", {{"/p/a.jpg"}, {"/keep/b.jpg"}}, {{0, 1, 100}},
       Rule(First, 100, {"/keep/"}), {{0, 1}}},
      {"both protected: left alone", {{"/keep/a.jpg"}, {"/keep/sub/b.jpg"}}, {{0, 1, 100}},
       Rule(Second, 100, {"/keep/"}), {}},
      {"both protected by different folders", {{"/x/a.jpg"}, {"/y/b.jpg"}}, {{0, 1, 100}},
       Rule(Lesser, 100, {"/x/", "/y"}), {}},
      {"a protected name's prefix protects nothing", {{"/a/b/a.jpg"}, {"/a/bc/b.jpg"}}, {{0, 1, 100}},
       Rule(Second, 100, {"/a/b"}), {{1, 0}}},
      {"a picture in several pairs, once", Copies, {{0, 2, 100}, {1, 2, 100}, {3, 2, 100}}, Rule(Second),
       {{2, 0}}},
      {"a kept picture loses each of its other copies", Copies, {{0, 1, 100}, {0, 2, 100}, {0, 3, 100}},
       Rule(Second), {{1, 0}, {2, 0}, {3, 0}}},
      {"chain, first", Copies, {{0, 1, 100}, {1, 2, 100}}, Rule(First), {{0, 1}}},
      {"chain, second", Copies, {{0, 1, 100}, {1, 2, 100}}, Rule(Second), {{1, 0}}},
      {"chain, lesser", {{"/p/a.jpg", 1, 1, 3}, {"/p/b.jpg", 1, 1, 2}, {"/p/c.jpg", 1, 1, 1}},
       {{0, 1, 100}, {1, 2, 100}}, Rule(Lesser), {{1, 0}}},
      {"chain, lesser, the middle kept", {{"/p/a.jpg", 1, 1, 1}, {"/p/b.jpg", 1, 1, 3}, {"/p/c.jpg", 1, 1, 2}},
       {{0, 1, 100}, {1, 2, 100}}, Rule(Lesser), {{0, 1}, {2, 1}}},
      {"chain, its later pair first", Copies, {{1, 2, 100}, {0, 1, 100}}, Rule(First), {{1, 2}}},
      {"two pairs sharing their keeper", {{"/p/a.jpg"}, {"/p/b.jpg"}, {"/p/c.jpg"}},
       {{0, 1, 100}, {2, 1, 100}}, Rule(First), {{0, 1}, {2, 1}}},
      {"a protected choice's other picture already planned: left alone", {{"/p/a.jpg"}, {"/p/b.jpg"}, {"/keep/c.jpg"}},
       {{0, 1, 100}, {1, 2, 100}}, Rule(Second, 100, {"/keep/"}), {{1, 0}}},
      {"below the similarity: left alone", Copies, {{0, 1, 99.6}}, Rule(Second), {}},
      {"at the similarity: taken", Copies, {{0, 1, 90}, {2, 3, 89.8}}, Rule(Second, 90), {{1, 0}}},
      // Planning B keeps C through the pair below the similarity, so D-C cannot take C.
      {"a pair below the similarity still keeps its pictures", Copies, {{0, 1, 100}, {2, 1, 90}, {3, 2, 100}},
       Rule(Second), {{1, 0}}},
      {"a pair of one picture with itself", Copies, {{0, 0, 100}}, Rule(Second), {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PlanBatch(CatalogueOf(c.pictures, c.pairs), c.rule), c.targets);
  }
}

TEST(BatchPlanTest, IsProtectedComparesWholeFolderNames) {
  struct Case {
    const char* path;
    std::vector<std::string> folders;
    bool protectedPath;
  };
  const Case cases[] = {
      {"/a/b/c.jpg", {"/a/b/"}, true},    {"/a/b/c/d/e.jpg", {"/a/b/"}, true}, {"/a/b/c.jpg", {"/a/b"}, true},
      {"/a/b", {"/a/b/"}, true},          {"/a/b/", {"/a/b"}, true},           {"/a/bc/d.jpg", {"/a/b/"}, false},
      {"/a/bc/d.jpg", {"/a/b"}, false},   {"/a/b.jpg", {"/a/b"}, false},       {"/A/b/c.jpg", {"/a/b/"}, false},
      {"/a/c.jpg", {"/a/b/"}, false},     {"/x/y.jpg", {"/"}, true},           {"/x/y.jpg", {""}, false},
      {"/x/y.jpg", {}, false},            {"/q/y.jpg", {"/p/", "/q/"}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.path << " in " << ::testing::PrintToString(c.folders));
    EXPECT_EQ(IsProtected(c.path, c.folders), c.protectedPath);
  }
}

TEST(BatchPlanTest, PlannedBytesAddTheTargetsSizes) {
  const Catalogue catalogue =
      CatalogueOf({{"/p/a.jpg", 1, 1, 0xC000'0000}, {"/p/b.jpg", 1, 1, 0xC000'0000}, {"/p/c.jpg", 1, 1, 5}}, {});
  EXPECT_EQ(PlannedBytes(catalogue, {}), 0);
  EXPECT_EQ(PlannedBytes(catalogue, {{0, 2}, {1, 2}}), std::int64_t{0x1'8000'0000});
  EXPECT_EQ(PlannedBytes(catalogue, {{2, 0}}), 5);
}

TEST(BatchPlanTest, APairNamingNoPictureIsAnError) {
  EXPECT_THROW(PlanBatch(CatalogueOf(Copies, {{0, 4, 100}}), Rule(BatchChoice::First)), std::invalid_argument);
  EXPECT_THROW(PlanBatch(CatalogueOf(Copies, {{-1, 0, 100}}), Rule(BatchChoice::First)), std::invalid_argument);
}

// On a dense random web of pairs with ties, protected folders and mixed similarities: each
// target once, never protected, its keeper its partner in a pair the rule takes, and no pair
// of the list loses both pictures.
TEST(BatchPlanTest, NoPairLosesBothPictures) {
  constexpr int PictureCount = 300;
  constexpr int PairCount = 3000;
  std::mt19937 random(20240611);
  auto pick = [&](int below) { return std::uniform_int_distribution<int>(0, below - 1)(random); };
  std::vector<Picture> pictures;
  for (int i = 0; i < PictureCount; ++i)
    pictures.push_back({"/f" + std::to_string(i / 30) + "/" + std::to_string(i) + ".jpg", 1 + pick(2), 1 + pick(2),
                        pick(3), static_cast<std::uint32_t>(pick(3)) << 30});
  std::vector<TPicturePair> pairs;
  while (pairs.size() < PairCount) {
    const int a = pick(PictureCount), b = pick(PictureCount);
    if (a != b) pairs.push_back({a, b, pick(2) == 0 ? 90.0 : 100.0});
  }
  const Catalogue catalogue = CatalogueOf(pictures, pairs);
  const std::vector<std::string> protectedFolders = {"/f1/", "/f7/"};
  for (const BatchChoice choice : {BatchChoice::Lesser, BatchChoice::Second, BatchChoice::First}) {
    for (const double minSimilarity : {100.0, 90.0}) {
      SCOPED_TRACE(::testing::Message() << "choice " << static_cast<int>(choice) << ", at least " << minSimilarity);
      const std::vector<BatchTarget> targets = PlanBatch(catalogue, Rule(choice, minSimilarity, protectedFolders));
      EXPECT_GT(targets.size(), 5u);
      std::set<std::int32_t> planned;
      for (const BatchTarget& target : targets) {
        EXPECT_TRUE(planned.insert(target.Picture).second) << "twice: " << target.Picture;
        EXPECT_FALSE(IsProtected(catalogue.FullPath(target.Picture), protectedFolders));
        EXPECT_TRUE(std::ranges::any_of(pairs, [&](const TPicturePair& pair) {
          return pair.Similarity >= minSimilarity && ((pair.PicIndex1 == target.Picture && pair.PicIndex2 == target.Keeper) ||
                                                      (pair.PicIndex2 == target.Picture && pair.PicIndex1 == target.Keeper));
        }));
      }
      for (const TPicturePair& pair : pairs)
        EXPECT_FALSE(planned.contains(pair.PicIndex1) && planned.contains(pair.PicIndex2))
            << pair.PicIndex1 << "-" << pair.PicIndex2;
    }
  }
}

}  // namespace
}  // namespace tessimar
