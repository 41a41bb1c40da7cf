#include "matching/compact_signature.h"

#include <algorithm>
#include <bit>
#include <numeric>

namespace tessimar {
namespace {

// The Haar level of a row or column index: 0 for index 0 (the averages), else 1 + floor(log2).
int Level(int index) { return std::bit_width(static_cast<unsigned>(index)); }

// How often photographs keep one position of the band of (row level, column level), per 10000
// pictures: measured on the signatures of 148 pictures (wallpapers, photographs, screenshots).
// Coarse bands are kept by most pictures, the finest by almost none.
constexpr int BandFrequency[8][8] = {
    {0, 8446, 8480, 6909, 5684, 3176, 980, 272},   {8108, 6622, 6351, 5321, 3902, 2073, 484, 112},
    {8615, 5946, 6807, 5566, 3623, 1617, 419, 74}, {7872, 5760, 5203, 4350, 2542, 1131, 224, 40},
    {6216, 3226, 4240, 2479, 1529, 565, 129, 26},  {3801, 2027, 2226, 1219, 653, 311, 76, 15},
    {1926, 739, 837, 457, 265, 151, 36, 12},       {520, 203, 239, 125, 61, 33, 13, 8},
};

struct CodeTable {
  std::array<std::uint16_t, TokenCount> Code{};
  CodeTable() {
    std::array<std::uint16_t, TokenCount> byRank{};
    std::iota(byRank.begin(), byRank.end(), 0);
    auto frequency = [](int token) {
      const int position = token / 2;
      return BandFrequency[Level(position / NumberOfPixels)][Level(position % NumberOfPixels)];
    };
    // Rarest first; within a band by token, so that the order is fixed.
    std::stable_sort(byRank.begin(), byRank.end(), [&](int a, int b) { return frequency(a) < frequency(b); });
    for (int rank = 0; rank < TokenCount; ++rank) Code[byRank[rank]] = static_cast<std::uint16_t>(rank);
  }
};

const CodeTable& TheCodeTable() {
  static const CodeTable table;
  return table;
}

bool InArray(const TWaveletPoint& p) { return p.X >= 0 && p.X < NumberOfPixels && p.Y >= 0 && p.Y < NumberOfPixels; }

SignatureToken TokenAt(const TWaveletPoint& p, bool negative) {
  return static_cast<SignatureToken>((p.X * NumberOfPixels + p.Y) * 2 + (negative ? 1 : 0));
}

}  // namespace

std::uint16_t TokenCode(SignatureToken token) { return TheCodeTable().Code[token]; }

SignatureTokens TokensOf(const TPicInfo& picture) {
  SignatureTokens result;
  for (const auto& [positions, negative] :
       {std::pair{&picture.WaveletCoefsPos, false}, std::pair{&picture.WaveletCoefsNeg, true}}) {
    for (const TWaveletPoint& p : *positions) {
      if (p == TWaveletPoint{}) continue;  // (0, 0) marks an unused slot
      if (!InArray(p)) {
        result.Regular = false;
        continue;
      }
      result.Tokens.push_back(TokenAt(p, negative));
    }
  }
  std::vector<SignatureToken> sorted = result.Tokens;
  std::sort(sorted.begin(), sorted.end());
  if (sorted.size() > static_cast<std::size_t>(SignatureSize) ||
      std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end())
    result.Regular = false;
  return result;
}

void CodeBits::Assign(const TPicInfo& picture) {
  words_.fill(0);
  codes_.clear();
  // The sign of each position as SignatureCoefficients writes it: the negative list last.
  std::array<std::int8_t, NumberOfPixels * NumberOfPixels> sign{};
  std::vector<int> positions;
  for (const auto& [list, value] :
       {std::pair{&picture.WaveletCoefsPos, std::int8_t{1}}, std::pair{&picture.WaveletCoefsNeg, std::int8_t{-1}}}) {
    for (const TWaveletPoint& p : *list) {
      if (p == TWaveletPoint{} || !InArray(p)) continue;
      const int position = p.X * NumberOfPixels + p.Y;
      if (sign[position] == 0) positions.push_back(position);
      sign[position] = value;
    }
  }
  const CodeTable& table = TheCodeTable();
  for (const int position : positions) {
    const std::uint16_t code = table.Code[position * 2 + (sign[position] < 0 ? 1 : 0)];
    words_[code >> 6] |= std::uint64_t{1} << (code & 63);
    codes_.push_back(code);
  }
  std::sort(codes_.begin(), codes_.end());
}

int CompactAgreementCount(std::span<const std::uint16_t> codes, const CodeBits& current, int needed) {
  // Each code that current lacks lowers the count within reach by one; the test for giving up runs
  // once per block, so the inner loop has no branch.
  constexpr std::size_t Block = 16;
  const int size = static_cast<int>(codes.size());
  const int allowedMisses = size - needed;
  if (allowedMisses < 0) return 0;
  int count = 0;
  std::size_t i = 0;
  for (; i + Block <= codes.size(); i += Block) {
    int agree = 0;
    for (std::size_t j = 0; j < Block; ++j) agree += current.Has(codes[i + j]);
    count += agree;
    if (static_cast<int>(i + Block) - count > allowedMisses) return count;
  }
  for (; i < codes.size(); ++i) count += current.Has(codes[i]);
  return count;
}

int LiteralAgreementCount(const TPicInfo& earlier, const CodeBits& current, int needed) {
  int count = 0;
  int reachable = SignatureSize;
  for (const auto& [positions, negative] :
       {std::pair{&earlier.WaveletCoefsPos, false}, std::pair{&earlier.WaveletCoefsNeg, true}}) {
    for (const TWaveletPoint& p : *positions) {
      if (p == TWaveletPoint{}) continue;
      if (InArray(p) && current.HasToken(TokenAt(p, negative))) {
        ++count;
      } else if (--reachable < needed) {
        return count;
      }
    }
  }
  return count;
}

}  // namespace tessimar
