#include "catalogue/catalogue.h"

#include <gtest/gtest.h>

namespace tessimar {
namespace {

TPicInfo Picture(const std::string& name) {
  TPicInfo picture;
  picture.FileName = name;
  picture.Size = 1;
  return picture;
}

// Appends pictures until the last index is lastIndex; returns the capacity seen after each append.
std::vector<std::int32_t> FillTo(Catalogue& catalogue, std::int32_t lastIndex) {
  std::vector<std::int32_t> capacities;
  catalogue.RegisterFolder("/photos/");
  while (catalogue.LastPicIndex < lastIndex) {
    catalogue.AppendPicture(Picture("p.jpg"));
    capacities.push_back(catalogue.PicListCapacity);
  }
  return capacities;
}

TEST(CatalogueTest, StartsEmptyWithZeroCounters) {
  Catalogue catalogue;
  EXPECT_EQ(catalogue.LastPicIndex, 0);
  EXPECT_EQ(catalogue.PicListCapacity, 0);
  EXPECT_TRUE(catalogue.PicList.empty());
}

TEST(CatalogueTest, GrowthRuleFromEitherStartingCapacity) {
  struct Case {
    const char* name;
    std::size_t allocationLimit;
    std::int32_t startCapacity;
    std::vector<std::pair<std::int32_t, std::int32_t>> capacityAfterIndex;
  };
  const Case cases[] = {
      {"full", SIZE_MAX, 30000, {{28999, 30000}, {29000, 31000}, {29999, 31000}, {30000, 32000}, {31000, 33000}}},
      // A limit below 30000 entries makes the first allocation fail, as with too little memory.
      {"fallback", 20000, 15000, {{13999, 15000}, {14000, 16000}, {14999, 16000}, {15000, 17000}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Catalogue catalogue(c.allocationLimit);
    catalogue.Reset();
    catalogue.AllocateCatalogue();
    EXPECT_EQ(catalogue.PicListCapacity, c.startCapacity);
    EXPECT_EQ(catalogue.PathListCapacity, c.startCapacity);
    const auto capacities = FillTo(catalogue, c.capacityAfterIndex.back().first);
    for (const auto& [index, capacity] : c.capacityAfterIndex) {
      SCOPED_TRACE(index);
      EXPECT_EQ(capacities[static_cast<std::size_t>(index)], capacity);
    }
    // The list holds what was appended, not the capacity ahead of it.
    EXPECT_EQ(catalogue.PicList.size(), static_cast<std::size_t>(catalogue.LastPicIndex + 1));
    EXPECT_EQ(catalogue.PicList[c.capacityAfterIndex.back().first].FileName, "p.jpg");
  }
}

TEST(CatalogueTest, PairListFallsBackOnItsOwn) {
  Catalogue catalogue(20000);
  catalogue.Reset();
  catalogue.AllocatePairs();
  EXPECT_EQ(catalogue.PairListCapacity, 15000);
  EXPECT_TRUE(catalogue.PicturePairs.empty());
}

TEST(CatalogueTest, AFailedFallbackReachesTheCaller) {
  Catalogue catalogue(1000);
  catalogue.Reset();
  EXPECT_THROW(catalogue.AllocateCatalogue(), std::bad_alloc);
}

TEST(CatalogueTest, AppendFillsTheFolderIndexAndTrimLeavesExactLengths) {
  Catalogue catalogue;
  catalogue.Reset();
  catalogue.AllocateCatalogue();
  catalogue.RegisterFolder("/a/");
  TPicInfo picture = Picture("x.png");
  picture.Deleted = true;
  picture.CCVStage = TCCVStage::Full;
  catalogue.AppendPicture(picture);
  catalogue.RegisterFolder("/b/");
  catalogue.AppendPicture(Picture("y.png"));
  catalogue.TrimCatalogue();

  EXPECT_EQ(catalogue.PicListCapacity, 2);
  EXPECT_EQ(catalogue.PathListCapacity, 2);
  EXPECT_EQ(catalogue.PicList.size(), 2u);
  EXPECT_EQ(catalogue.PicList[0].PathInd, 0);
  EXPECT_FALSE(catalogue.PicList[0].Deleted);
  EXPECT_EQ(catalogue.PicList[0].CCVStage, TCCVStage::None);
  EXPECT_EQ(catalogue.FullPath(1), "/b/y.png");
}

TEST(CatalogueTest, AnEmptyScanTrimsToNothing) {
  Catalogue catalogue;
  catalogue.Reset();
  catalogue.AllocateCatalogue();
  catalogue.TrimCatalogue();
  EXPECT_EQ(catalogue.LastPicIndex, -1);
  EXPECT_EQ(catalogue.LastPathIndex, -1);
  EXPECT_TRUE(catalogue.PicList.empty());
  EXPECT_TRUE(catalogue.PathList.empty());
  EXPECT_EQ(catalogue.PairCount(), 0);
}

class PairsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    catalogue.Reset();
    catalogue.AllocateCatalogue();
    catalogue.RegisterFolder("/p/");
    for (int i = 0; i < 6; ++i) catalogue.AppendPicture(Picture("f" + std::to_string(i)));
    catalogue.TrimCatalogue();
    catalogue.AllocatePairs();
  }
  std::vector<std::pair<int, int>> Pairs() const {
    std::vector<std::pair<int, int>> pairs;
    for (int i = 0; i < catalogue.PairCount(); ++i)
      pairs.emplace_back(catalogue.PicturePairs[i].PicIndex1, catalogue.PicturePairs[i].PicIndex2);
    return pairs;
  }
  Catalogue catalogue;
};

TEST_F(PairsTest, OnePairTrimsToOneEntry) {
  catalogue.AppendPair({0, 1, 100});
  catalogue.TrimPairs();
  EXPECT_EQ(catalogue.LastPairIndex, 0);
  EXPECT_EQ(catalogue.PairListCapacity, 1);
  EXPECT_EQ(catalogue.PicturePairs.size(), 1u);
}

TEST_F(PairsTest, RemovingAPictureDropsEveryPairNamingItAndKeepsTheOrder) {
  for (auto [a, b] : {std::pair{0, 1}, {1, 2}, {0, 3}, {2, 4}, {3, 1}, {4, 5}}) catalogue.AppendPair({a, b, 90});
  catalogue.TrimPairs();
  catalogue.RemovePicturePairs(1);
  EXPECT_EQ(Pairs(), (std::vector<std::pair<int, int>>{{0, 3}, {2, 4}, {4, 5}}));
  EXPECT_EQ(catalogue.LastPairIndex, 2);
  EXPECT_EQ(catalogue.PairListCapacity, 3);
  EXPECT_TRUE(catalogue.PicList[1].Deleted);
  EXPECT_FALSE(catalogue.PicList[0].Deleted);
}

TEST_F(PairsTest, SwapExchangesTheSides) {
  catalogue.AppendPair({2, 4, 70});
  catalogue.TrimPairs();
  catalogue.SwapPairSides(0);
  EXPECT_EQ(Pairs(), (std::vector<std::pair<int, int>>{{4, 2}}));
}

TEST_F(PairsTest, ReleaseEmptiesEverythingAndRefusesLateAppends) {
  catalogue.AppendPair({0, 1, 100});
  catalogue.Release();
  EXPECT_TRUE(catalogue.PicList.empty());
  EXPECT_TRUE(catalogue.PathList.empty());
  EXPECT_TRUE(catalogue.PicturePairs.empty());
  EXPECT_EQ(catalogue.LastPairIndex, -1);
  EXPECT_THROW(catalogue.AppendPicture(Picture("late.jpg")), std::logic_error);
  EXPECT_THROW(catalogue.AppendPair({0, 1, 100}), std::logic_error);
}

}  // namespace
}  // namespace tessimar
