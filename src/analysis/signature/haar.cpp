#include "analysis/signature/haar.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tessimar {
namespace {

void DecomposeEachRow(CoefficientArray& a) {
  for (int r = 0; r < NumberOfPixels; ++r) {
    HaarDecomposeRow(std::span<double, NumberOfPixels>(a.data() + ElementIndex(r, 0), NumberOfPixels));
  }
}

void Transpose(CoefficientArray& a) {
  for (int r = 0; r < NumberOfPixels; ++r) {
    for (int c = r + 1; c < NumberOfPixels; ++c) std::swap(a[ElementIndex(r, c)], a[ElementIndex(c, r)]);
  }
}

}  // namespace

void HaarDecomposeRow(std::span<double, NumberOfPixels> a) {
  // Exact on purpose: each operand is widened to 80 bits before it is added, subtracted or
  // divided by an 80-bit root, and only the stored result is rounded to double. A double sum
  // or a double root changes the signature of about one photograph in twenty.
  const long double sqrt2 = std::sqrt(2.0L);
  const long double sqrtCount = std::sqrt(static_cast<long double>(NumberOfPixels));
  for (double& value : a) value = static_cast<double>(value / sqrtCount);

  std::array<double, NumberOfPixels> t{};
  for (std::size_t h = a.size() / 2; h >= 1; h /= 2) {
    for (std::size_t i = 0; i < h; ++i) {
      t[i] = static_cast<double>((static_cast<long double>(a[2 * i]) + a[2 * i + 1]) / sqrt2);
      t[h + i] = static_cast<double>((static_cast<long double>(a[2 * i]) - a[2 * i + 1]) / sqrt2);
    }
    std::copy_n(t.begin(), 2 * h, a.begin());  // a[2h..] keeps the finer levels' differences
  }
}

void HaarDecompose(CoefficientArray& a) {
  DecomposeEachRow(a);
  Transpose(a);
  DecomposeEachRow(a);
  Transpose(a);
}

}  // namespace tessimar
