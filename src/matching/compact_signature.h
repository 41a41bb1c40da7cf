// Compact forms of a signature for the comparisons of the matching pass: an earlier picture's kept
// coefficients as at most 250 sorted 16-bit codes, the current picture's as a bit set of 32768
// bits, so that one comparison reads 500 bytes instead of 4 KB.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "catalogue/pic_info.h"

namespace tessimar {

// A kept coefficient with its sign: position * 2 + (negative ? 1 : 0), where position is row * 128
// + column. Below TokenCount.
using SignatureToken = std::uint16_t;
inline constexpr int TokenCount = 2 * NumberOfPixels * NumberOfPixels;

// The fewest agreeing slots of a match: 125 of 250 give the score 50.
inline constexpr int MatchCount = SignatureSize / 2;

// The code of a token: its rank in a fixed global order of all tokens, rarest first as photographs
// keep them (fine detail first, the coarsest differences last). The order only makes the
// comparisons and the index faster; no result depends on it.
std::uint16_t TokenCode(SignatureToken token);

// The tokens of one signature. Not Regular when the lists are not what an analysis writes (a
// position outside the array, one listed twice, more than 250 in all): such a picture is compared
// by its lists, literally.
struct SignatureTokens {
  bool Regular = true;
  std::vector<SignatureToken> Tokens;  // in list order, positive list first
};
SignatureTokens TokensOf(const TPicInfo& picture);

// The current picture's kept coefficients by code: bit c set when the token of code c is kept.
// Built as the coefficient array is rebuilt from the lists (SignatureCoefficients): a position
// listed in both lists counts as negative.
class CodeBits {
 public:
  void Assign(const TPicInfo& picture);
  bool Has(std::uint16_t code) const { return (words_[code >> 6] >> (code & 63)) & 1; }
  bool HasToken(SignatureToken token) const { return Has(TokenCode(token)); }
  // The codes of the set bits, ascending: rarest first.
  const std::vector<std::uint16_t>& Codes() const { return codes_; }

 private:
  std::array<std::uint64_t, TokenCount / 64> words_{};
  std::vector<std::uint16_t> codes_;
};

// How many of codes (the codes of an earlier picture's distinct tokens) current holds. Once needed
// can no longer be reached it stops and returns a count below needed.
int CompactAgreementCount(std::span<const std::uint16_t> codes, const CodeBits& current, int needed = 0);

// The agreement count, literally: earlier's positive and negative lists against the current
// picture's signs, giving up (as AgreementCount) once needed is out of reach of 250 slots. For
// pictures whose lists are not regular; a position outside the array never agrees.
int LiteralAgreementCount(const TPicInfo& earlier, const CodeBits& current, int needed = 0);

}  // namespace tessimar
