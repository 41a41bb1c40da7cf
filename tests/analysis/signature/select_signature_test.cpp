#include "analysis/signature/select_signature.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "analysis/picture_signature.h"

#include "test_bitmaps.h"

namespace tessimar {
namespace {

using testing::Coefficients;

// The listed points followed by (0, 0) up to the full length.
TWaveletCoefs Padded(const std::vector<TWaveletPoint>& points) {
  TWaveletCoefs list{};
  std::copy(points.begin(), points.end(), list.begin());
  return list;
}

TEST(SelectSignature, ListsPositionsBySignInRowMajorOrder) {
  CoefficientArray a{};
  a[ElementIndex(5, 9)] = 1.0;
  a[ElementIndex(0, 3)] = 1.0;
  a[ElementIndex(127, 127)] = 1.0;
  a[ElementIndex(2, 0)] = -1.0;
  a[ElementIndex(1, 100)] = -1.0;
  TWaveletCoefs pos, neg;
  pos.fill(TWaveletPoint{7, 7});  // left over from an earlier picture
  neg.fill(TWaveletPoint{7, 7});

  SelectSignature(a, pos, neg);

  EXPECT_EQ(pos, Padded({{0, 3}, {5, 9}, {127, 127}}));
  EXPECT_EQ(neg, Padded({{1, 100}, {2, 0}}));
}

TEST(SelectSignature, TakesNoMoreThan250PositionsOfOneSign) {
  const CoefficientArray a = Coefficients([](int r, int) { return r < 64 ? -1.0 : 1.0; });
  TWaveletCoefs pos, neg;

  SelectSignature(a, pos, neg);

  for (int i = 0; i < SignatureSize; ++i) {
    EXPECT_EQ(neg[i], (TWaveletPoint{i / NumberOfPixels, i % NumberOfPixels})) << "entry " << i;
    EXPECT_EQ(pos[i], (TWaveletPoint{64 + i / NumberOfPixels, i % NumberOfPixels})) << "entry " << i;
  }
}

// Working bitmaps of many kinds: noise, smooth waves, flat blocks whose equal
// coefficients tie at the threshold, and a single colour that keeps nothing.
WorkingBitmap GeneratedPicture(std::mt19937& random, int kind) {
  std::uniform_int_distribution<int> level(0, 255);
  const int a = level(random), b = level(random), block = 1 << (1 + level(random) % 6);
  WorkingBitmap bitmap;
  for (int y = 0; y < WorkingBitmap::Side; ++y) {
    for (int x = 0; x < WorkingBitmap::Side; ++x) {
      for (int channel = 0; channel < 3; ++channel) {
        int value = 0;
        switch (kind) {
          case 0: value = level(random); break;
          case 1: value = static_cast<int>(127 + 120 * std::sin((x * a + y * b) / 900.0 + channel)) + level(random) % 9; break;
          case 2: value = ((x / block + y / block) % 2) != 0 ? a : b; break;
          default: value = a; break;
        }
        bitmap.Row(y)[x * 3 + channel] = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
      }
    }
  }
  return bitmap;
}

TEST(SignatureCoefficients, RebuildsTheTruncatedArrayOfEveryComputedSignature) {
  std::mt19937 random(20261210);
  constexpr int Kinds = 4;
  for (int i = 0; i < 400; ++i) {
    SCOPED_TRACE("picture " + std::to_string(i) + ", kind " + std::to_string(i % Kinds));
    WorkingBitmap bitmap = GeneratedPicture(random, i % Kinds);
    auto computed = std::make_unique<CoefficientArray>();
    TWaveletCoefs pos, neg;
    PictureSignature(bitmap, *computed, pos, neg);

    auto rebuilt = std::make_unique<CoefficientArray>();
    rebuilt->fill(5.0);  // left over from an earlier picture
    SignatureCoefficients(pos, neg, *rebuilt);

    ASSERT_TRUE(*rebuilt == *computed);
    ASSERT_TRUE(PossibleSignature(pos, neg));
  }
}

TEST(SignatureCoefficients, SetsTheListedPositionsOnly) {
  CoefficientArray a;
  a.fill(1.0);
  SignatureCoefficients(Padded({{0, 3}, {127, 127}}), Padded({{2, 0}}), a);
  EXPECT_EQ(std::count(a.begin(), a.end(), 1.0), 2);
  EXPECT_EQ(std::count(a.begin(), a.end(), -1.0), 1);
  EXPECT_EQ(a[ElementIndex(0, 3)], 1.0);
  EXPECT_EQ(a[ElementIndex(127, 127)], 1.0);
  EXPECT_EQ(a[ElementIndex(2, 0)], -1.0);
  EXPECT_EQ(a[0], 0.0);
}

// The positions of rows 1 and 2 in row-major order, count of them.
std::vector<TWaveletPoint> RowMajorRun(int count) {
  std::vector<TWaveletPoint> points;
  for (int i = 0; i < count; ++i) points.push_back({1 + i / NumberOfPixels, i % NumberOfPixels});
  return points;
}

TEST(PossibleSignature, TakesWhatSelectionGivesAndNothingElse) {
  struct Case {
    const char* name;
    std::vector<TWaveletPoint> pos, neg;
    bool possible;
  };
  std::vector<TWaveletPoint> full = RowMajorRun(SignatureSize);
  std::vector<TWaveletPoint> split = RowMajorRun(SignatureSize + 1);
  const std::vector<TWaveletPoint> last(split.begin() + SignatureSize - 1, split.end());
  split.resize(SignatureSize - 1);
  const std::vector<Case> cases = {
      {"nothing kept", {}, {}, true},
      {"both signs, interleaved positions", {{0, 3}, {5, 9}, {127, 127}}, {{0, 4}, {2, 0}}, true},
      {"250 of one sign", full, {}, true},
      {"250 in all", split, {last[0]}, true},
      {"251 in all", split, last, false},
      {"out of row-major order", {{5, 9}, {0, 3}}, {}, false},
      {"a position twice in one list", {{0, 3}, {0, 3}}, {}, false},
      {"a position in both lists", {{0, 3}}, {{0, 3}}, false},
      {"an entry after an unused slot", {{0, 3}, {0, 0}, {5, 9}}, {}, false},
      {"a row off the array", {{128, 0}}, {}, false},
      {"a negative column", {}, {{3, -1}}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PossibleSignature(Padded(c.pos), Padded(c.neg)), c.possible);
  }
}

}  // namespace
}  // namespace tessimar
