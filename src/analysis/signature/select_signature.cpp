#include "analysis/signature/select_signature.h"

#include <utility>

namespace tessimar {

void SelectSignature(const CoefficientArray& a, TWaveletCoefs& pos, TWaveletCoefs& neg) {
  pos.fill(TWaveletPoint{});
  neg.fill(TWaveletPoint{});
  std::size_t posCount = 0;
  std::size_t negCount = 0;
  for (int r = 0; r < NumberOfPixels; ++r) {
    for (int c = 0; c < NumberOfPixels; ++c) {
      const double value = a[ElementIndex(r, c)];
      if (value > 0.0 && posCount < pos.size()) {
        pos[posCount++] = TWaveletPoint{r, c};
      } else if (value < 0.0 && negCount < neg.size()) {
        neg[negCount++] = TWaveletPoint{r, c};
      }
    }
  }
}

void SignatureCoefficients(const TWaveletCoefs& pos, const TWaveletCoefs& neg, CoefficientArray& a) {
  a.fill(0.0);
  for (const auto& [positions, sign] : {std::pair{&pos, 1.0}, {&neg, -1.0}})
    for (const TWaveletPoint& p : *positions)
      if (p != TWaveletPoint{}) a[ElementIndex(p.X, p.Y)] = sign;  // (0, 0) marks an unused entry
}

}  // namespace tessimar
