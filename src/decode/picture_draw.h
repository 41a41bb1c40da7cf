// Drawing a decoded picture's rows into the working bitmap as its quality-90 JPEG would draw.
#pragma once

#include <cstdint>
#include <optional>

#include "decode/eighth_scale_draw.h"
#include "decode/jpeg_decoder.h"
#include "decode/jpeg_encoder.h"
#include "decode/row_sink.h"

namespace tessimar {

// Chooses at Begin, by the size: at 1/8 scale the bitmap is computed from the rows directly;
// at 1/4 and full scale the rows are encoded as the JPEG, which DrawJpeg then draws.
class PictureDraw final : public RowSink {
 public:
  PictureDraw(MinimumSize minimum, WorkingBitmap& bitmap);

  void Begin(std::int32_t width, std::int32_t height) override;
  void Row(std::int32_t y, const std::uint8_t* rgb) override;
  // After the last row: draws the bitmap and returns the picture's size.
  PictureSize Finish();

 private:
  MinimumSize minimum_;
  WorkingBitmap& bitmap_;
  PictureSize size_{};
  std::optional<EighthScaleDraw> eighth_;
  std::optional<JpegRowEncoder> encoder_;
  RowSink* target_ = nullptr;
};

}  // namespace tessimar
