// The working bitmap of a large picture straight from its rows, as DrawJpeg would draw the
// picture's quality-90 JPEG at 1/8 scale, without encoding or decoding that JPEG.
#pragma once

#include <cstdint>
#include <vector>

#include "decode/jpeg_arithmetic.h"
#include "decode/row_sink.h"
#include "decode/working_bitmap.h"

namespace tessimar {

// At 1/8 scale libjpeg-turbo decodes each luminance block to one pixel from its quantised DC
// term alone, and each 4:2:0 chrominance block to 2 x 2 pixels from its quantised low
// coefficients (jdmaster.c scales chroma by the IDCT, so no upsampling follows). The stretch
// reads at most 128 x 128 of those pixels, so only the blocks under them are computed: the
// encoder's colour conversion, downsampling, edge replication, forward DCT and quantisation,
// then the decoder's reduced inverse DCT and colour conversion, all in libjpeg's integer
// arithmetic. The result equals the JPEG route's bit for bit.
class EighthScaleDraw final : public RowSink {
 public:
  explicit EighthScaleDraw(WorkingBitmap& bitmap);

  void Begin(std::int32_t width, std::int32_t height) override;
  void Row(std::int32_t y, const std::uint8_t* rgb) override;
  // After the last row: stretches the computed pixels over the bitmap.
  void Finish();

 private:
  void AddLuminance(std::int32_t y, const std::uint8_t* rgb);
  void AddChrominance(std::int32_t y, const std::uint8_t* rgb);
  void FinishChromaBlockRow(std::int32_t blockRow, std::int32_t pixelRows);
  ChromaOutput ChromaBlock(const std::vector<std::uint8_t>& rows, std::size_t block, std::int32_t pixelRows) const;

  WorkingBitmap& bitmap_;
  std::int32_t width_ = 0, height_ = 0;
  // The distinct 1/8-scale columns and rows the stretch reads, and which of them each target takes.
  std::vector<std::int32_t> columns_, rows_;
  std::vector<std::size_t> targetColumn_, targetRow_;
  // Per 1/8-scale row: its place in rows_, or -1.
  std::vector<std::int32_t> rowSlot_;
  // The chrominance block columns under columns_, the one each column lies in, and the block
  // rows that hold any of rows_.
  std::vector<std::int32_t> chromaColumns_;
  std::vector<std::size_t> chromaOfColumn_;
  std::vector<bool> chromaRowNeeded_;
  // Source pixel columns, clamped at the right edge: 8 per luminance block, 16 per chroma block.
  std::vector<std::int32_t> lumaPixels_, chromaPixels_;
  // Sums of the current luminance block row; Cb and Cr of the current chroma block row's pixels.
  std::vector<std::int32_t> lumaSums_;
  std::vector<std::uint8_t> cbRows_, crRows_;
  // The decoded 1/8-scale pixels, rows_ x columns_.
  std::vector<std::uint8_t> outY_, outCb_, outCr_;
  Divisor lumaDc_{};
  std::vector<Divisor> chromaDivisors_;
};

}  // namespace tessimar
