#include "matching/pair_compare.h"

#include <gtest/gtest.h>

#include <memory>

namespace tessimar {
namespace {

TPicInfo Sized(std::int32_t width, std::int32_t height) {
  TPicInfo picture;
  picture.Width = width;
  picture.Height = height;
  return picture;
}

TEST(ShapesComparableTest, QuotientOfShapeRatiosUpToOneAndAHalf) {
  struct Case {
    TPicInfo a, b;
    bool comparable;
  };
  const Case cases[] = {
      {Sized(3000, 2000), Sized(2000, 2000), true},
      {Sized(3001, 2000), Sized(2000, 2000), false},
      {Sized(2000, 3000), Sized(3000, 2000), true},
      {Sized(2000, 2000), Sized(2000, 3001), false},
      {Sized(640, 480), Sized(4000, 3000), true},
      {Sized(5, 5), Sized(5, 8), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.a.Width) + "x" + std::to_string(c.a.Height) + " / " + std::to_string(c.b.Width) +
                 "x" + std::to_string(c.b.Height));
    EXPECT_EQ(ShapesComparable(c.a, c.b), c.comparable);
    EXPECT_EQ(ShapesComparable(c.b, c.a), c.comparable);
  }
}

TEST(SimilarityTest, CountToScoreToSimilarity) {
  struct Case {
    int count;
    double score;
    std::optional<double> similarity;
  };
  const Case cases[] = {
      {0, 0, std::nullopt}, {124, 49.6, std::nullopt}, {125, 50, 1.0}, {126, 50.4, 1.0},
      {127, 50.8, 1.6},     {150, 60, 20.0},           {200, 80, 60.0}, {250, 100, 100.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.count);
    EXPECT_DOUBLE_EQ(AgreementScore(c.count), c.score);
    const auto similarity = SimilarityOfScore(AgreementScore(c.count));
    ASSERT_EQ(similarity.has_value(), c.similarity.has_value());
    if (similarity) {
      EXPECT_NEAR(*similarity, *c.similarity, 1e-9);
    }
  }
}

TEST(AgreementCountTest, CountsSlotsWhoseSignTheCurrentPictureShares) {
  auto current = std::make_unique<CoefficientArray>();
  (*current)[ElementIndex(0, 0)] = 1;  // never a kept slot, whatever it holds
  (*current)[ElementIndex(1, 2)] = 1;
  (*current)[ElementIndex(3, 4)] = -1;
  (*current)[ElementIndex(5, 6)] = -1;
  (*current)[ElementIndex(127, 127)] = 1;
  (*current)[ElementIndex(9, 9)] = -1;
  TPicInfo earlier;
  earlier.WaveletCoefsPos[0] = {1, 2};      // agrees
  earlier.WaveletCoefsPos[1] = {3, 4};      // opposite sign
  earlier.WaveletCoefsPos[2] = {127, 127};  // agrees
  earlier.WaveletCoefsNeg[0] = {5, 6};      // agrees
  earlier.WaveletCoefsNeg[1] = {7, 7};      // zero there
  earlier.WaveletCoefsNeg[2] = {9, 9};      // agrees
  const auto signs = std::make_unique<SignArray>(SignsOf(*current));
  EXPECT_EQ(AgreementCount(earlier, *signs), 4);
  // Two disagreements leave 248 within reach, so a need of up to 248 counts everything.
  EXPECT_EQ(AgreementCount(earlier, *signs, 248), 4);
  // Needing all 250, the count gives up at the first slot that disagrees, the second.
  EXPECT_EQ(AgreementCount(earlier, *signs, 250), 1);
  // Needing 249, it gives up at the second disagreement, before the last agreeing slot.
  EXPECT_EQ(AgreementCount(earlier, *signs, 249), 3);
}

}  // namespace
}  // namespace tessimar
