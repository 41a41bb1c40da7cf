#include "analysis/signature/select_signature.h"

#include <bitset>
#include <utility>

namespace tessimar {
namespace {

bool InArray(const TWaveletPoint& p) { return p.X >= 0 && p.X < NumberOfPixels && p.Y >= 0 && p.Y < NumberOfPixels; }

// Marks the positions of list in listed, counting them in count; false for a list that
// SelectSignature does not write.
bool InSelectionOrder(const TWaveletCoefs& list, std::bitset<WorkingPixelCount>& listed, int& count) {
  std::size_t previous = 0;  // (0, 0) is never kept, so every kept position lies past it
  bool ended = false;
  for (const TWaveletPoint& p : list) {
    if (p == TWaveletPoint{}) {
      ended = true;
      continue;
    }
    if (ended || !InArray(p)) return false;
    const std::size_t index = ElementIndex(p.X, p.Y);
    if (index <= previous || listed.test(index)) return false;
    listed.set(index);
    previous = index;
    ++count;
  }
  return true;
}

}  // namespace

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

bool PossibleSignature(const TWaveletCoefs& pos, const TWaveletCoefs& neg) {
  std::bitset<WorkingPixelCount> listed;
  int count = 0;
  return InSelectionOrder(pos, listed, count) && InSelectionOrder(neg, listed, count) && count <= SignatureSize;
}

}  // namespace tessimar
