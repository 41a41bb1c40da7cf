// Encoding a decoded picture, row by row as it arrives, as the JPEG image that every picture
// type is decoded from.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "decode/jpeg_arithmetic.h"
#include "decode/rgb_picture.h"
#include "decode/row_sink.h"

namespace tessimar {

// A baseline JPEG of quality 90 from RGB input, libjpeg's defaults otherwise: each row is
// compressed as it comes, so only libjpeg's few rows of buffers stand beside the output.
// Throws PictureError on a libjpeg error.
class JpegRowEncoder final : public RowSink {
 public:
  JpegRowEncoder();
  ~JpegRowEncoder();
  JpegRowEncoder(const JpegRowEncoder&) = delete;
  JpegRowEncoder& operator=(const JpegRowEncoder&) = delete;

  void Begin(std::int32_t width, std::int32_t height) override;
  void Row(std::int32_t y, const std::uint8_t* rgb) override;
  // After the last row: the JPEG image.
  std::vector<std::uint8_t> Finish();

  struct Job;  // libjpeg's state

 private:
  std::vector<std::uint8_t> bytes_;
  std::unique_ptr<Job> job_;
};

// The quantisation tables that encoder uses, for its luminance and its chrominance.
struct JpegEncoderTables {
  QuantTable Luminance{};
  QuantTable Chrominance{};
};
const JpegEncoderTables& EncoderTables();

// The same JPEG image from a whole picture.
std::vector<std::uint8_t> EncodeJpeg(const RgbPicture& picture);

}  // namespace tessimar
