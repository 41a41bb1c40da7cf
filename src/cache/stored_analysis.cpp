#include "cache/stored_analysis.h"

#include <algorithm>

namespace tessimar {

std::string PositionsBlob(const TWaveletCoefs& positions) {
  std::string blob;
  for (const TWaveletPoint& p : positions) {
    if (p == TWaveletPoint{}) break;  // the kept positions come first
    blob.push_back(static_cast<char>(p.X));
    blob.push_back(static_cast<char>(p.Y));
  }
  return blob;
}

bool ReadPositions(std::string_view blob, TWaveletCoefs& positions) {
  if (blob.size() % 2 != 0 || blob.size() / 2 > positions.size()) return false;
  positions.fill(TWaveletPoint{});
  for (std::size_t i = 0; i < blob.size() / 2; ++i) {
    const TWaveletPoint p{static_cast<unsigned char>(blob[2 * i]), static_cast<unsigned char>(blob[2 * i + 1])};
    if (p.X >= NumberOfPixels || p.Y >= NumberOfPixels || p == TWaveletPoint{}) return false;
    positions[i] = p;
  }
  return true;
}

std::string ProbeBlob(const TPreBuffer& probe) { return std::string(probe.begin(), probe.end()); }

bool ReadProbe(std::string_view blob, TPreBuffer& probe) {
  if (blob.size() != probe.size()) return false;
  std::copy(blob.begin(), blob.end(), probe.begin());
  return true;
}

}  // namespace tessimar
