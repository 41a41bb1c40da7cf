#include "decode/jpeg_arithmetic.h"

#include <algorithm>
#include <bit>

namespace tessimar {
namespace {

// jfdctint.c and jidctred.c: 13-bit constants, two more bits kept between the passes.
constexpr int ConstBits = 13;
constexpr int Pass1Bits = 2;

constexpr std::int32_t Descale(std::int32_t x, int n) { return (x + (1 << (n - 1))) >> n; }
// Stores into libjpeg-turbo's 16-bit DCT workspace.
constexpr std::int32_t AsDctElement(std::int32_t x) { return static_cast<std::int16_t>(x); }

// The decoder's range limit after an inverse DCT: the value plus 128, clamped, indexed through
// a 10-bit mask as libjpeg's table is.
std::uint8_t RangeLimitIdct(std::int32_t x) {
  const std::int32_t j = x & 1023;
  if (j < 128) return static_cast<std::uint8_t>(j + 128);
  if (j < 512) return 255;
  if (j < 896) return 0;
  return static_cast<std::uint8_t>(j - 896);
}

std::uint8_t Clamp(std::int32_t x) { return static_cast<std::uint8_t>(std::clamp(x, 0, 255)); }

// One pass of the LL&M forward DCT over eight elements step apart, in place: the row pass
// keeps Pass1Bits more bits, the column pass takes them off again.
void ForwardDctPass(std::int32_t* d, int step, bool rowPass) {
  const int descale = rowPass ? ConstBits - Pass1Bits : ConstBits + Pass1Bits;
  const std::int32_t tmp0 = d[0] + d[7 * step], tmp7 = d[0] - d[7 * step];
  const std::int32_t tmp1 = d[step] + d[6 * step], tmp6 = d[step] - d[6 * step];
  const std::int32_t tmp2 = d[2 * step] + d[5 * step], tmp5 = d[2 * step] - d[5 * step];
  const std::int32_t tmp3 = d[3 * step] + d[4 * step], tmp4 = d[3 * step] - d[4 * step];
  const std::int32_t tmp10 = tmp0 + tmp3, tmp13 = tmp0 - tmp3, tmp11 = tmp1 + tmp2, tmp12 = tmp1 - tmp2;
  if (rowPass) {
    d[0] = AsDctElement((tmp10 + tmp11) * (1 << Pass1Bits));
    d[4 * step] = AsDctElement((tmp10 - tmp11) * (1 << Pass1Bits));
  } else {
    d[0] = AsDctElement(Descale(tmp10 + tmp11, Pass1Bits));
    d[4 * step] = AsDctElement(Descale(tmp10 - tmp11, Pass1Bits));
  }
  const std::int32_t even = (tmp12 + tmp13) * 4433;
  d[2 * step] = AsDctElement(Descale(even + tmp13 * 6270, descale));
  d[6 * step] = AsDctElement(Descale(even + tmp12 * -15137, descale));

  const std::int32_t z5 = (tmp4 + tmp6 + tmp5 + tmp7) * 9633;
  const std::int32_t z1 = (tmp4 + tmp7) * -7373, z2 = (tmp5 + tmp6) * -20995;
  const std::int32_t z3 = (tmp4 + tmp6) * -16069 + z5, z4 = (tmp5 + tmp7) * -3196 + z5;
  d[7 * step] = AsDctElement(Descale(tmp4 * 2446 + z1 + z3, descale));
  d[5 * step] = AsDctElement(Descale(tmp5 * 16819 + z2 + z4, descale));
  d[3 * step] = AsDctElement(Descale(tmp6 * 25172 + z2 + z3, descale));
  d[step] = AsDctElement(Descale(tmp7 * 12299 + z1 + z4, descale));
}

// jidctred.c's odd part for 2 x 2 output: terms 1, 3, 5 and 7.
std::int32_t OddPart2x2(std::int32_t t1, std::int32_t t3, std::int32_t t5, std::int32_t t7) {
  return t7 * -5906 + t5 * 6967 + t3 * -10426 + t1 * 29692;
}

}  // namespace

void ForwardDctIslow(DctBlock& block, std::span<const int> columns) {
  for (int row = 0; row < 8; ++row) ForwardDctPass(block.data() + row * 8, 1, true);
  for (const int column : columns) ForwardDctPass(block.data() + column, 8, false);
}

// compute_reciprocal() for divisor quantval * 8 (the forward DCT's outputs are 8 times too large).
Divisor MakeDivisor(std::uint16_t quantval) {
  const std::uint32_t divisor = static_cast<std::uint32_t>(quantval) << 3;
  const int b = std::bit_width(divisor) - 1;
  int r = 16 + b;
  std::uint32_t reciprocal = (1u << r) / divisor;
  const std::uint32_t remainder = (1u << r) % divisor;
  std::uint32_t correction = divisor / 2;
  if (remainder == 0) {
    reciprocal >>= 1;
    --r;
  } else if (remainder <= divisor / 2) {
    ++correction;
  } else {
    ++reciprocal;
  }
  return {reciprocal, correction, r};
}

std::uint8_t InverseDct1x1(std::int32_t dc, std::uint16_t quantval) {
  return RangeLimitIdct(Descale(dc * quantval, 3));
}

ChromaOutput InverseDct2x2(const DctBlock& c, const QuantTable& q) {
  // Pass 1: columns 0, 1, 3, 5 and 7 into two rows of the workspace.
  std::array<std::int32_t, 16> work{};
  for (const int column : {0, 1, 3, 5, 7}) {
    const auto at = [&](int row) { return c[row * 8 + column] * q[row * 8 + column]; };
    if (c[8 + column] == 0 && c[24 + column] == 0 && c[40 + column] == 0 && c[56 + column] == 0) {
      work[column] = work[8 + column] = at(0) * (1 << Pass1Bits);
      continue;
    }
    const std::int32_t even = at(0) * (1 << (ConstBits + 2));
    const std::int32_t odd = OddPart2x2(at(1), at(3), at(5), at(7));
    work[column] = Descale(even + odd, ConstBits - Pass1Bits + 2);
    work[8 + column] = Descale(even - odd, ConstBits - Pass1Bits + 2);
  }
  // Pass 2: the two rows.
  ChromaOutput out{};
  for (int row = 0; row < 2; ++row) {
    const std::int32_t* w = work.data() + row * 8;
    if (w[1] == 0 && w[3] == 0 && w[5] == 0 && w[7] == 0) {
      out[row * 2] = out[row * 2 + 1] = RangeLimitIdct(Descale(w[0], Pass1Bits + 3));
      continue;
    }
    const std::int32_t even = w[0] * (1 << (ConstBits + 2));
    const std::int32_t odd = OddPart2x2(w[1], w[3], w[5], w[7]);
    out[row * 2] = RangeLimitIdct(Descale(even + odd, ConstBits + Pass1Bits + 3 + 2));
    out[row * 2 + 1] = RangeLimitIdct(Descale(even - odd, ConstBits + Pass1Bits + 3 + 2));
  }
  return out;
}

std::array<std::uint8_t, 3> YccToRgb(std::uint8_t y, std::uint8_t cb, std::uint8_t cr) {
  const std::int32_t blue = cb - 128, red = cr - 128;
  using namespace colour;
  const std::int32_t redTerm = (Fix(1.40200) * red + Half) >> Bits;
  const std::int32_t blueTerm = (Fix(1.77200) * blue + Half) >> Bits;
  const std::int32_t greenTerm = (-Fix(0.71414) * red + -Fix(0.34414) * blue + Half) >> Bits;
  return {Clamp(y + redTerm), Clamp(y + greenTerm), Clamp(y + blueTerm)};
}

}  // namespace tessimar
