#include "decode/eighth_scale_draw.h"

#include <algorithm>
#include <array>

#include "decode/jpeg_encoder.h"
#include "decode/stretch.h"

namespace tessimar {
namespace {

constexpr int Side = WorkingBitmap::Side;
constexpr std::int32_t ChromaBlockPixels = 16;  // a chroma block covers 16 x 16 pixels at 4:2:0

// The distinct sources the stretch takes from a length, and the index of each target's.
void SampledSources(std::int32_t length, std::vector<std::int32_t>& sources, std::vector<std::size_t>& ofTarget) {
  sources.clear();
  ofTarget.assign(Side, 0);
  for (std::int32_t t = 0; t < Side; ++t) {
    const std::int32_t source = NearestSource(t, length);
    if (sources.empty() || sources.back() != source) sources.push_back(source);
    ofTarget[static_cast<std::size_t>(t)] = sources.size() - 1;
  }
}

std::int32_t DivideRoundingUp(std::int32_t a, std::int32_t b) { return (a + b - 1) / b; }

// Coefficients at rows and columns 2, 4 and 6 do not reach a 2 x 2 inverse DCT.
constexpr std::array<int, 5> TwoByTwoTerms{0, 1, 3, 5, 7};

}  // namespace

EighthScaleDraw::EighthScaleDraw(WorkingBitmap& bitmap) : bitmap_(bitmap) {}

void EighthScaleDraw::Begin(std::int32_t width, std::int32_t height) {
  width_ = width, height_ = height;
  SampledSources(DivideRoundingUp(width, 8), columns_, targetColumn_);
  SampledSources(DivideRoundingUp(height, 8), rows_, targetRow_);
  rowSlot_.assign(static_cast<std::size_t>(DivideRoundingUp(height, 8)), -1);
  chromaRowNeeded_.assign(static_cast<std::size_t>(DivideRoundingUp(height, ChromaBlockPixels)), false);
  for (std::size_t k = 0; k < rows_.size(); ++k) {
    rowSlot_[static_cast<std::size_t>(rows_[k])] = static_cast<std::int32_t>(k);
    chromaRowNeeded_[static_cast<std::size_t>(rows_[k] / 2)] = true;
  }
  chromaColumns_.clear(), chromaOfColumn_.clear(), lumaPixels_.clear(), chromaPixels_.clear();
  for (const std::int32_t column : columns_) {
    if (chromaColumns_.empty() || chromaColumns_.back() != column / 2) chromaColumns_.push_back(column / 2);
    chromaOfColumn_.push_back(chromaColumns_.size() - 1);
    for (std::int32_t k = 0; k < 8; ++k) lumaPixels_.push_back(std::min(column * 8 + k, width - 1));
  }
  for (const std::int32_t block : chromaColumns_) {
    for (std::int32_t k = 0; k < ChromaBlockPixels; ++k)
      chromaPixels_.push_back(std::min(block * ChromaBlockPixels + k, width - 1));
  }
  lumaSums_.assign(columns_.size(), 0);
  cbRows_.assign(chromaPixels_.size() * ChromaBlockPixels, 0);
  crRows_.assign(cbRows_.size(), 0);
  outY_.assign(rows_.size() * columns_.size(), 0);
  outCb_.assign(outY_.size(), 0);
  outCr_.assign(outY_.size(), 0);
  const JpegEncoderTables& tables = EncoderTables();
  lumaDc_ = MakeDivisor(tables.Luminance[0]);
  chromaDivisors_.clear();
  for (const std::uint16_t quantval : tables.Chrominance) chromaDivisors_.push_back(MakeDivisor(quantval));
}

void EighthScaleDraw::Row(std::int32_t y, const std::uint8_t* rgb) {
  if (rowSlot_[static_cast<std::size_t>(y / 8)] >= 0) AddLuminance(y, rgb);
  if (chromaRowNeeded_[static_cast<std::size_t>(y / ChromaBlockPixels)]) AddChrominance(y, rgb);
}

// The encoder repeats the last row down to the block's end, so it counts that many times.
void EighthScaleDraw::AddLuminance(std::int32_t y, const std::uint8_t* rgb) {
  const bool last = y == height_ - 1;
  const std::int32_t weight = last ? (y / 8 + 1) * 8 - y : 1;
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    std::int32_t sum = 0;
    for (std::size_t k = 0; k < 8; ++k) {
      const std::uint8_t* p = rgb + lumaPixels_[i * 8 + k] * 3;
      sum += RgbToY(p[0], p[1], p[2]);
    }
    lumaSums_[i] += weight * sum;
  }
  if (y % 8 != 7 && !last) return;
  // The forward DCT's DC term is the sum of the level-shifted samples, exactly.
  const std::size_t slot = static_cast<std::size_t>(rowSlot_[static_cast<std::size_t>(y / 8)]);
  const std::uint16_t quantval = EncoderTables().Luminance[0];
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    outY_[slot * columns_.size() + i] = InverseDct1x1(Quantise(lumaSums_[i] - 64 * 128, lumaDc_), quantval);
    lumaSums_[i] = 0;
  }
}

void EighthScaleDraw::AddChrominance(std::int32_t y, const std::uint8_t* rgb) {
  const std::int32_t row = y % ChromaBlockPixels;
  const std::size_t offset = static_cast<std::size_t>(row) * chromaPixels_.size();
  std::uint8_t* cb = cbRows_.data() + offset;
  std::uint8_t* cr = crRows_.data() + offset;
  for (const std::int32_t column : chromaPixels_) {
    const std::uint8_t* p = rgb + column * 3;
    RgbToCbCr(p[0], p[1], p[2], *cb++, *cr++);
  }
  if (row == ChromaBlockPixels - 1 || y == height_ - 1) FinishChromaBlockRow(y / ChromaBlockPixels, row + 1);
}

// pixelRows: how many of the block row's 16 pixel rows the picture has. A missing second row
// of a pair repeats the first; chroma rows past the picture repeat the last one.
ChromaOutput EighthScaleDraw::ChromaBlock(const std::vector<std::uint8_t>& rows, std::size_t block,
                                          std::int32_t pixelRows) const {
  const std::size_t stride = chromaPixels_.size();
  const std::int32_t chromaRows = (pixelRows + 1) / 2;
  DctBlock samples{};
  for (std::int32_t r = 0; r < 8; ++r) {
    const std::int32_t source = std::min(r, chromaRows - 1);
    const std::uint8_t* upper = rows.data() + static_cast<std::size_t>(2 * source) * stride + block * 16;
    const std::uint8_t* lower =
        rows.data() + static_cast<std::size_t>(std::min(2 * source + 1, pixelRows - 1)) * stride + block * 16;
    for (int c = 0; c < 8; ++c) {
      const int sum = upper[2 * c] + upper[2 * c + 1] + lower[2 * c] + lower[2 * c + 1];
      samples[static_cast<std::size_t>(r * 8 + c)] = DownsampleH2V2(sum, c) - 128;
    }
  }
  ForwardDctIslow(samples, TwoByTwoTerms);
  DctBlock coefficients{};
  for (const int row : TwoByTwoTerms) {
    for (const int column : TwoByTwoTerms) {
      const auto i = static_cast<std::size_t>(row * 8 + column);
      coefficients[i] = Quantise(samples[i], chromaDivisors_[i]);
    }
  }
  return InverseDct2x2(coefficients, EncoderTables().Chrominance);
}

void EighthScaleDraw::FinishChromaBlockRow(std::int32_t blockRow, std::int32_t pixelRows) {
  std::vector<ChromaOutput> cb, cr;
  for (std::size_t block = 0; block < chromaColumns_.size(); ++block) {
    cb.push_back(ChromaBlock(cbRows_, block, pixelRows));
    cr.push_back(ChromaBlock(crRows_, block, pixelRows));
  }
  for (std::size_t k = 0; k < rows_.size(); ++k) {
    if (rows_[k] / 2 != blockRow) continue;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
      const std::size_t within = static_cast<std::size_t>((rows_[k] % 2) * 2 + columns_[i] % 2);
      outCb_[k * columns_.size() + i] = cb[chromaOfColumn_[i]][within];
      outCr_[k * columns_.size() + i] = cr[chromaOfColumn_[i]][within];
    }
  }
}

void EighthScaleDraw::Finish() {
  for (int y = 0; y < Side; ++y) {
    std::uint8_t* target = bitmap_.Row(y);
    for (int x = 0; x < Side; ++x, target += 3) {
      const std::size_t at =
          targetRow_[static_cast<std::size_t>(y)] * columns_.size() + targetColumn_[static_cast<std::size_t>(x)];
      const auto rgb = YccToRgb(outY_[at], outCb_[at], outCr_[at]);
      std::copy(rgb.begin(), rgb.end(), target);
    }
  }
}

}  // namespace tessimar
