// The integer arithmetic of libjpeg-turbo's encoder and of its decoder at 1/8 scale, step by
// step, so that the 1/8-scale picture of the quality-90 JPEG can be computed without the JPEG.
// Every step is exact on purpose: one unit off anywhere changes a signature.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace tessimar {

using DctBlock = std::array<std::int32_t, 64>;     // row-major, as libjpeg's natural order
using QuantTable = std::array<std::uint16_t, 64>;  // natural order
using ChromaOutput = std::array<std::uint8_t, 4>;  // 2 x 2, row-major

// jccolor.c: RGB to YCbCr in 16-bit fixed point. Inline: they run for a third of all pixels.
namespace colour {
inline constexpr int Bits = 16;
inline constexpr std::int32_t Half = 1 << (Bits - 1);
inline constexpr std::int32_t ChromaOffset = 128 << Bits;
constexpr std::int32_t Fix(double x) { return static_cast<std::int32_t>(x * (1 << Bits) + 0.5); }
}  // namespace colour

inline std::uint8_t RgbToY(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  using namespace colour;
  return static_cast<std::uint8_t>((Fix(0.29900) * r + Fix(0.58700) * g + Fix(0.11400) * b + Half) >> Bits);
}

// The chroma rounding is one short of a half, so that the largest value stays 255.
inline std::uint8_t RgbToCb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  using namespace colour;
  return static_cast<std::uint8_t>(
      (-Fix(0.16874) * r - Fix(0.33126) * g + Fix(0.50000) * b + ChromaOffset + Half - 1) >> Bits);
}

inline std::uint8_t RgbToCr(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  using namespace colour;
  return static_cast<std::uint8_t>((Fix(0.50000) * r - Fix(0.41869) * g - Fix(0.08131) * b + ChromaOffset + Half - 1) >>
                                   Bits);
}

// Cb and Cr at once: the two sums side by side in one 64-bit number, Cr's in the high half.
// Each final sum lies in [0, 2^24), so the borrows of the negative terms cancel out exactly.
inline void RgbToCbCr(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t& cb, std::uint8_t& cr) {
  using namespace colour;
  constexpr auto Pair = [](std::int64_t forCb, std::int64_t forCr) {
    return static_cast<std::uint64_t>(forCb) + (static_cast<std::uint64_t>(forCr) << 32);
  };
  constexpr std::uint64_t R = Pair(-Fix(0.16874), Fix(0.50000)), G = Pair(-Fix(0.33126), -Fix(0.41869)),
                          B = Pair(Fix(0.50000), -Fix(0.08131)),
                          Constant = Pair(ChromaOffset + Half - 1, ChromaOffset + Half - 1);
  const std::uint64_t sums = R * r + G * g + B * b + Constant;
  cb = static_cast<std::uint8_t>(static_cast<std::uint32_t>(sums) >> Bits);
  cr = static_cast<std::uint8_t>(sums >> (32 + Bits));
}

// jcsample.c h2v2: the mean of four samples, the bias alternating 1, 2, 1, ... by output column.
inline std::uint8_t DownsampleH2V2(int sum, int outputColumn) {
  return static_cast<std::uint8_t>((sum + 1 + (outputColumn & 1)) >> 2);
}

// jfdctint.c: the accurate integer forward DCT of level-shifted samples (sample - 128), in
// place. Only the columns listed get their second pass; the others keep the first pass's values.
void ForwardDctIslow(DctBlock& block, std::span<const int> columns);

// jcdctmgr.c: quantisation of forward-DCT outputs by quantval, through libjpeg-turbo's
// reciprocal multiply rather than a division.
struct Divisor {
  std::uint32_t Reciprocal = 0;
  std::uint32_t Correction = 0;
  int Shift = 0;
};
Divisor MakeDivisor(std::uint16_t quantval);
inline std::int32_t Quantise(std::int32_t coefficient, const Divisor& divisor) {
  const auto magnitude = static_cast<std::uint32_t>(coefficient < 0 ? -coefficient : coefficient);
  const auto quotient =
      static_cast<std::int32_t>(((magnitude + divisor.Correction) * divisor.Reciprocal) >> divisor.Shift);
  return coefficient < 0 ? -quotient : quotient;
}

// jidctred.c at 1/8 scale: a 1 x 1 block from its quantised DC term, and a 2 x 2 block.
std::uint8_t InverseDct1x1(std::int32_t dc, std::uint16_t quantval);
ChromaOutput InverseDct2x2(const DctBlock& coefficients, const QuantTable& quantvals);

// jdcolor.c: YCbCr to RGB.
std::array<std::uint8_t, 3> YccToRgb(std::uint8_t y, std::uint8_t cb, std::uint8_t cr);

}  // namespace tessimar
