#include "decode/png_decoder.h"

#include "decode/png_interlaced.h"
#include "decode/png_reader.h"
#include "decode/rgb_picture.h"

namespace tessimar {

void DecodePng(const OpenedFile& file, RowSink& sink) {
  PngReader reader(file);
  CheckAnnouncedSize(reader.Width(), reader.Height());
  sink.Begin(static_cast<std::int32_t>(reader.Width()), static_cast<std::int32_t>(reader.Height()));
  if (reader.Interlaced()) {
    SendInterlacedRows(file, reader, sink);
    return;
  }
  for (std::uint32_t y = 0; y < reader.Height(); ++y) {
    sink.Row(static_cast<std::int32_t>(y), reader.ToRgb(reader.ReadRow(), reader.Width()));
  }
}

}  // namespace tessimar
