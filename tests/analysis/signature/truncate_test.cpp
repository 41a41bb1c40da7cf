#include "analysis/signature/truncate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tessimar {
namespace {

// An array holding magnitudes at positions 1, 2, 3, ... in turn, alternately positive and negative.
CoefficientArray WithMagnitudes(const std::vector<double>& magnitudes) {
  CoefficientArray a{};
  for (std::size_t i = 0; i < magnitudes.size(); ++i) a[i + 1] = i % 2 == 0 ? magnitudes[i] : -magnitudes[i];
  return a;
}

std::vector<double> Repeated(std::size_t count, double magnitude) { return std::vector<double>(count, magnitude); }

std::vector<double> Joined(std::vector<double> first, const std::vector<double>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

TEST(TruncateCoefficients, KeepsTheSignsOfTheMagnitudesAboveThe251stLargest) {
  std::vector<double> magnitudes;
  for (int m = 1; m <= 300; ++m) magnitudes.push_back(m);
  CoefficientArray a = WithMagnitudes(magnitudes);
  a[0] = 1e9;  // the average is never kept and takes no place

  EXPECT_EQ(TruncateCoefficients(a), 250);
  EXPECT_EQ(a[0], 0.0);
  for (std::size_t i = 0; i < magnitudes.size(); ++i) {
    const double expected = magnitudes[i] <= 50 ? 0.0 : (i % 2 == 0 ? 1.0 : -1.0);
    EXPECT_EQ(a[i + 1], expected) << "magnitude " << magnitudes[i];
  }
}

TEST(TruncateCoefficients, DropsEveryMagnitudeThatTiesWithTheThreshold) {
  const double justBelowOne = std::nextafter(1.0, 0.0);
  struct Case {
    const char* name;
    std::vector<double> magnitudes;
    std::int32_t kept;
  };
  const Case cases[] = {
      {"250 above one below", Joined(Repeated(250, 1.0), Repeated(1, justBelowOne)), 250},
      {"251 equal", Repeated(251, 1.0), 0},
      {"249 above, then a tie at the 250th and 251st", Joined(Repeated(249, 2.0), Repeated(5, 1.0)), 249},
      {"fewer than 251 non-zero", Repeated(40, 3.0), 40},
      {"all zero", {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CoefficientArray a = WithMagnitudes(c.magnitudes);
    EXPECT_EQ(TruncateCoefficients(a), c.kept);
    std::int32_t nonZero = 0;
    for (const double v : a) {
      EXPECT_TRUE(v == 0.0 || v == 1.0 || v == -1.0) << v;
      nonZero += v != 0.0;
    }
    EXPECT_EQ(nonZero, c.kept);
  }
}

}  // namespace
}  // namespace tessimar
