#include "analysis/signature/select_signature.h"

#include <gtest/gtest.h>

#include <vector>

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

}  // namespace
}  // namespace tessimar
