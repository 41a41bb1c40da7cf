// One libpng reader of an opened PNG file, through a stream of its own, so that several can
// read one file in step. Samples come as 8 bits; an interlaced picture's rows come as stored,
// pass after pass.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "decode/file_reading.h"

namespace tessimar {

struct PngJob;

class PngReader {
 public:
  // Reads the header; throws PictureError when it is damaged or announces a side above the limit.
  explicit PngReader(const OpenedFile& file);
  ~PngReader();
  PngReader(const PngReader&) = delete;
  PngReader& operator=(const PngReader&) = delete;

  std::uint32_t Width() const { return width_; }
  std::uint32_t Height() const { return height_; }
  bool Interlaced() const { return interlaced_; }
  // Reads the next stored row: the picture's next row, or an interlaced picture's next row of
  // the pass under way. Throws PictureError when the data are damaged or end. The samples stay
  // valid until the next call.
  const std::uint8_t* ReadRow();
  // Converts width pixels of samples to RGB, translucent ones over black. The result may be
  // samples itself, or a row valid until the next call.
  const std::uint8_t* ToRgb(const std::uint8_t* samples, std::uint32_t width);

 private:
  struct PaletteEntry {
    std::uint8_t Red = 0, Green = 0, Blue = 0;
  };

  void ReadPalette();

  std::unique_ptr<PngJob> job_;
  std::uint32_t width_ = 0, height_ = 0;
  bool interlaced_ = false;
  int channels_ = 0;
  std::optional<std::vector<PaletteEntry>> palette_;  // 256 entries; those not stored stay black
  std::vector<std::uint8_t> samples_;
  std::vector<std::uint8_t> rgb_;
};

}  // namespace tessimar
