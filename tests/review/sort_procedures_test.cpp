#include "review/sort_procedures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "catalogue_of.h"

namespace tessimar {
namespace {

using testing::CatalogueOf;
using Pairs = std::vector<TPicturePair>;
using Cmp = std::function<int(const TPicturePair&, const TPicturePair&)>;

void NoPump() {}

// A pair is told apart from a level one by its picture indices.
std::vector<std::tuple<int, int, double>> Keys(const Pairs& pairs) {
  std::vector<std::tuple<int, int, double>> keys;
  for (const TPicturePair& p : pairs) keys.emplace_back(p.PicIndex1, p.PicIndex2, p.Similarity);
  return keys;
}

std::vector<double> Similarities(const Pairs& pairs) {
  std::vector<double> values;
  for (const TPicturePair& p : pairs) values.push_back(p.Similarity);
  return values;
}

// The two passes stated once more, the quick pass as recursion and the insertion as an insert
// after the last entry not ranking after the new one: where level entries go is checked against it.
void ReferenceQuick(Pairs& a, int lo, int hi, const Cmp& cmp) {
  if (hi - lo + 1 <= 16) return;
  const int mid = (lo + hi) / 2;
  if (cmp(a[lo], a[mid]) > 0) std::swap(a[lo], a[mid]);
  if (cmp(a[lo], a[hi]) > 0) std::swap(a[lo], a[hi]);
  if (cmp(a[mid], a[hi]) > 0) std::swap(a[mid], a[hi]);
  const TPicturePair pivot = a[mid];
  int i = lo, j = hi;
  for (;;) {
    while (cmp(a[--j], pivot) > 0) {
    }
    while (cmp(a[++i], pivot) < 0) {
    }
    if (j <= i) break;
    std::swap(a[i], a[j]);
  }
  ReferenceQuick(a, lo, j, cmp);
  ReferenceQuick(a, j + 1, hi, cmp);
}

void ReferenceSort(Pairs& a, int lo, int hi, const Cmp& cmp) {
  ReferenceQuick(a, lo, hi, cmp);
  const auto first = a.begin() + lo;
  const auto minimum = std::min_element(first, first + std::min(16, hi - lo + 1),
                                        [&](const auto& x, const auto& y) { return cmp(x, y) < 0; });
  std::iter_swap(first, minimum);
  for (int i = lo + 2; i <= hi; ++i) {
    const auto place = std::upper_bound(first, a.begin() + i, a[i],
                                        [&](const auto& t, const auto& entry) { return cmp(t, entry) < 0; });
    std::rotate(place, a.begin() + i, a.begin() + i + 1);
  }
}

// Paths with many level ones: folders and names that differ only in the case of ASCII letters.
std::vector<std::string> TiedPaths(std::mt19937& random, int count) {
  const std::vector<std::string> folders = {"/a/", "/A/", "/b/", "/AB/", "/ab/", "/a/_/"};
  const std::vector<std::string> names = {"x.jpg", "X.JPG", "y.jpg", "\xC3\xA9.jpg", "\xC3\x89.jpg", "[1].png"};
  std::vector<std::string> paths;
  for (int k = 0; k < count; ++k)
    paths.push_back(folders[random() % folders.size()] + names[random() % names.size()]);
  return paths;
}

Pairs RandomPairs(std::mt19937& random, int count, int pictures) {
  const std::vector<double> similarities = {100, 56, 56.4, 91, 1};
  Pairs pairs;
  for (int k = 0; k < count; ++k) {
    pairs.push_back({static_cast<std::int32_t>(random() % pictures), static_cast<std::int32_t>(random() % pictures),
                     similarities[random() % similarities.size()]});
  }
  return pairs;
}

Cmp ComparerOf(const Catalogue& catalogue, int column, bool reverse) {
  return [&catalogue, column, reverse](const TPicturePair& a, const TPicturePair& b) {
    if (column == 2) return CompareSimilarity(a, b, reverse);
    const PathComparer compare = column == 0 ? ComparePath1 : ComparePath2;
    return compare(a, b, catalogue.PicList, catalogue.PathList, reverse);
  };
}

TEST(SortProceduresTest, RandomListsEndSortedAsTheTwoPassesPlaceThem) {
  std::mt19937 random(20240517);
  constexpr int Pictures = 60;
  for (const int size : {1, 2, 15, 16, 17, 18, 33, 100, 1000, 10000}) {
    const Catalogue pictures = CatalogueOf(TiedPaths(random, Pictures));
    const Pairs input = RandomPairs(random, size, Pictures);
    for (const int column : {0, 1, 2}) {
      for (const bool reverse : {false, true}) {
        SCOPED_TRACE("size " + std::to_string(size) + ", column " + std::to_string(column) +
                     (reverse ? ", descending" : ", ascending"));
        Catalogue catalogue = pictures;
        for (const TPicturePair& pair : input) catalogue.PicturePairs.push_back(pair);
        catalogue.LastPairIndex = size - 1;
        SortPairsByColumn(catalogue, column, reverse, NoPump);

        const Cmp cmp = ComparerOf(catalogue, column, reverse);
        for (int k = 1; k < size; ++k) ASSERT_LE(cmp(catalogue.PicturePairs[k - 1], catalogue.PicturePairs[k]), 0) << k;
        auto sorted = Keys(catalogue.PicturePairs), original = Keys(input);
        std::ranges::sort(sorted);
        std::ranges::sort(original);
        ASSERT_EQ(sorted, original) << "not a permutation of the input";
        Pairs expected = input;
        ReferenceSort(expected, 0, size - 1, cmp);
        ASSERT_EQ(Keys(catalogue.PicturePairs), Keys(expected));
      }
    }
  }
}

TEST(SortProceduresTest, ARangeInsideTheListLeavesTheRestAlone) {
  std::mt19937 random(7);
  const Pairs input = RandomPairs(random, 300, 10);
  for (const auto& [lo, hi] : {std::pair{5, 5}, std::pair{5, 21}, std::pair{40, 299}, std::pair{17, 250}}) {
    SCOPED_TRACE(std::to_string(lo) + " to " + std::to_string(hi));
    Pairs pairs = input;
    SortPairsBySimilarity(pairs, CompareSimilarity, false, lo, hi, NoPump);
    EXPECT_TRUE(std::equal(pairs.begin(), pairs.begin() + lo, input.begin(),
                           [](const auto& x, const auto& y) { return Keys({x}) == Keys({y}); }));
    EXPECT_TRUE(std::equal(pairs.begin() + hi + 1, pairs.end(), input.begin() + hi + 1,
                           [](const auto& x, const auto& y) { return Keys({x}) == Keys({y}); }));
    EXPECT_TRUE(std::is_sorted(pairs.begin() + lo, pairs.begin() + hi + 1,
                               [](const auto& x, const auto& y) { return x.Similarity < y.Similarity; }));
  }
}

TEST(SortProceduresTest, SortedListsOfEitherDirectionSortWithoutOverflowingTheRangeStack) {
  constexpr int Size = 100000;
  for (const bool descendingInput : {false, true}) {
    for (const bool reverse : {false, true}) {
      SCOPED_TRACE(std::string(descendingInput ? "descending" : "ascending") + " input, " +
                   (reverse ? "descending" : "ascending") + " sort");
      Pairs pairs;
      for (int k = 0; k < Size; ++k) pairs.push_back({k, k, descendingInput ? double(Size - k) : double(k)});
      SortPairsBySimilarity(pairs, CompareSimilarity, reverse, 0, Size - 1, NoPump);
      EXPECT_TRUE(std::is_sorted(pairs.begin(), pairs.end(), [&](const auto& x, const auto& y) {
        return CompareSimilarity(x, y, reverse) < 0;
      }));
    }
  }
}

// Level entries: the order the passes give them, worked out by hand.
TEST(SortProceduresTest, LevelEntriesTakeTheOrderOfThePasses) {
  struct Case {
    const char* name;
    std::vector<double> similarities;
    bool reverse;
    std::vector<int> order;  // indices into the input
  };
  const std::vector<int> seventeenLevel = {0, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 16};
  const Case cases[] = {
      {"the sentinel swap moves a level entry behind its twin", {30, 30, 10}, false, {2, 1, 0}},
      {"descending keeps the ascending order of level entries", {30, 30, 10}, true, {0, 1, 2}},
      {"insertion alone keeps level entries in place", {50, 20, 50, 20}, false, {1, 3, 0, 2}},
      {"the partition's swaps mirror seventeen level entries", std::vector<double>(17, 56), false, seventeenLevel},
      {"and the direction does not undo them", std::vector<double>(17, 56), true, seventeenLevel},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Pairs pairs;
    for (int k = 0; k < static_cast<int>(c.similarities.size()); ++k) pairs.push_back({k, k, c.similarities[k]});
    SortPairsBySimilarity(pairs, CompareSimilarity, c.reverse, 0, static_cast<int>(pairs.size()) - 1, NoPump);
    std::vector<int> order;
    for (const TPicturePair& p : pairs) order.push_back(p.PicIndex1);
    EXPECT_EQ(order, c.order);
  }
}

TEST(SortProceduresTest, ThePumpRunsOnceBetweenTheTwoPasses) {
  struct Case {
    const char* name;
    std::vector<double> similarities;
    std::vector<double> atPump;
  };
  const Case cases[] = {
      {"a short list waits for the insertion pass", {3, 2, 1}, {3, 2, 1}},
      {"a long one is split into blocks first",
       {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 1},
       {1, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Pairs pairs;
    for (const double s : c.similarities) pairs.push_back({0, 0, s});
    int pumps = 0;
    std::vector<double> seen;
    SortPairsBySimilarity(pairs, CompareSimilarity, false, 0, static_cast<int>(pairs.size()) - 1, [&] {
      ++pumps;
      seen = Similarities(pairs);
    });
    EXPECT_EQ(pumps, 1);
    EXPECT_EQ(seen, c.atPump);
  }
}

TEST(SortProceduresTest, EveryColumnPumpsOnce) {
  for (const int column : {0, 1, 2}) {
    SCOPED_TRACE(column);
    Catalogue catalogue = CatalogueOf({"/p/b.jpg", "/p/a.jpg"}, {{0, 1, 50}});
    int pumps = 0;
    SortPairsByColumn(catalogue, column, true, [&] { ++pumps; });
    EXPECT_EQ(pumps, 1);
  }
}

TEST(SortProceduresTest, PathsCompareByteForByteWithOnlyAsciiLettersFolded) {
  struct Case {
    const char* a;
    const char* b;
    int sign;  // of a against b, ascending
  };
  const Case cases[] = {
      {"/A/x.jpg", "/AB/x.jpg", -1},  // '/' is below every letter
      {"/photos/IMG_1.jpg", "/Photos/img_1.JPG", 0},
      {"/x/a.jpg", "/x/_.jpg", -1},  // 'a' ranks as 'A', below '_'
      {"/x/[.jpg", "/x/z.jpg", 1},   // as '[' follows 'Z'
      {"/x/\xC3\x89.jpg", "/x/\xC3\xA9.jpg", -1},  // É and é are not level
      {"/x/ab", "/x/abc", -1},
      {"/x/b.jpg", "/y/a.jpg", -1},  // the folder comes first
  };
  const auto sign = [](int v) { return (v > 0) - (v < 0); };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " against " + c.b);
    const Catalogue catalogue = CatalogueOf({c.a, c.b});
    const TPicturePair ab{0, 1, 0}, ba{1, 0, 0};
    for (const bool reverse : {false, true}) {
      const int expected = reverse ? -c.sign : c.sign;
      EXPECT_EQ(sign(ComparePath1(ab, ba, catalogue.PicList, catalogue.PathList, reverse)), expected);
      EXPECT_EQ(sign(ComparePath2(ab, ba, catalogue.PicList, catalogue.PathList, reverse)), -expected);
    }
  }
}

TEST(SortProceduresTest, SimilarityComparesToOneZeroOrMinusOne) {
  struct Case {
    double a, b;
    bool reverse;
    int result;
  };
  const Case cases[] = {
      {56, 56, false, 0},  {56, 56, true, 0},   {91, 56, false, 1},      {91, 56, true, -1},
      {1, 100, false, -1}, {1, 100, true, 1},   {56.4, 56.3, false, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.a) + " against " + std::to_string(c.b) + (c.reverse ? " reversed" : ""));
    EXPECT_EQ(CompareSimilarity({0, 0, c.a}, {0, 0, c.b}, c.reverse), c.result);
  }
}

TEST(SortProceduresTest, ColumnsSortByTheirOwnKey) {
  const std::vector<std::string> paths = {"/p/c.jpg", "/p/A.jpg", "/p/b.jpg"};
  struct Case {
    int column;
    bool reverse;
    std::vector<int> firstPictures;
  };
  const Case cases[] = {
      {0, false, {1, 2, 0}},
      {0, true, {0, 2, 1}},
      {1, false, {2, 0, 1}},  // second pictures A, b, c belong to pairs with first pictures 2, 0, 1
      {2, false, {1, 0, 2}},
      {2, true, {2, 0, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("column " + std::to_string(c.column) + (c.reverse ? " descending" : " ascending"));
    Catalogue catalogue = CatalogueOf(paths, {{0, 2, 50}, {1, 0, 10}, {2, 1, 90}});
    SortPairsByColumn(catalogue, c.column, c.reverse, NoPump);
    std::vector<int> firstPictures;
    for (const TPicturePair& p : catalogue.PicturePairs) firstPictures.push_back(p.PicIndex1);
    EXPECT_EQ(firstPictures, c.firstPictures);
  }
}

}  // namespace
}  // namespace tessimar
