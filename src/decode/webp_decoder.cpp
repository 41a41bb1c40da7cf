#include "decode/webp_decoder.h"

#include <webp/decode.h>
#include <webp/demux.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "decode/alpha.h"
#include "decode/decoding_budget.h"
#include "decode/picture_error.h"
#include "decode/rgb_picture.h"
#include "decode/webp_tables.h"

namespace tessimar {
namespace {

// A RIFF file holds at most 4 GB; no sane picture comes near this.
constexpr std::uint64_t MaxWebpFileBytes = std::uint64_t{1} << 30;
// A lossless picture is decoded whole as ARGB and then converted: eight bytes a pixel.
constexpr std::uint64_t StillBytesPerPixel = 8;
// An animation's canvas, the canvas of the frame before, and the frame itself.
constexpr std::uint64_t AnimationBytesPerPixel = 12;

std::string StatusText(VP8StatusCode status) {
  switch (status) {
    case VP8_STATUS_OUT_OF_MEMORY:
      return "out of memory";
    case VP8_STATUS_UNSUPPORTED_FEATURE:
      return "a feature this decoder does not support";
    case VP8_STATUS_NOT_ENOUGH_DATA:
      return "the file ends before the picture does";
    default:
      return "the data are damaged";
  }
}

void Check(VP8StatusCode status) {
  if (status != VP8_STATUS_OK) throw PictureError("WebP: " + StatusText(status));
}

// RGBA rows, not premultiplied, stride bytes apart.
void SendRgbaRows(const std::uint8_t* rgba, int stride, int width, int height, RowSink& sink) {
  sink.Begin(width, height);
  std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 3);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* in = rgba + static_cast<std::ptrdiff_t>(y) * stride;
    std::uint8_t* out = row.data();
    for (int x = 0; x < width; ++x, in += 4, out += 3) {
      out[0] = OverBlack(in[0], in[3]), out[1] = OverBlack(in[1], in[3]), out[2] = OverBlack(in[2], in[3]);
    }
    sink.Row(y, row.data());
  }
}

void SendRgbRows(const std::uint8_t* rgb, int stride, int width, int height, RowSink& sink) {
  sink.Begin(width, height);
  for (int y = 0; y < height; ++y) sink.Row(y, rgb + static_cast<std::ptrdiff_t>(y) * stride);
}

struct OutputFree {
  void operator()(WebPDecBuffer* output) const { WebPFreeDecBuffer(output); }
};

// The pixels first, which also bound the reading of lossless streams; then with the Huffman
// tables a lossless image or alpha plane asks for.
void CheckStillCost(const std::vector<std::uint8_t>& data, const WebPBitstreamFeatures& features) {
  const std::uint64_t pixels = std::uint64_t(features.width) * std::uint64_t(features.height);
  CheckDecodingCost("WebP", pixels, StillBytesPerPixel, data.size());
  CheckDecodingCost("WebP", pixels, StillBytesPerPixel, data.size(),
                    HuffmanTableBytes(data, false, features.width, features.height));
}

void DecodeStill(const std::vector<std::uint8_t>& data, const WebPBitstreamFeatures& features, RowSink& sink) {
  CheckStillCost(data, features);
  WebPDecoderConfig config;
  if (!WebPInitDecoderConfig(&config)) throw PictureError("WebP: cannot create the decoder");
  config.output.colorspace = features.has_alpha ? MODE_RGBA : MODE_RGB;
  const std::unique_ptr<WebPDecBuffer, OutputFree> output(&config.output);
  Check(WebPDecode(data.data(), data.size(), &config));
  const WebPRGBABuffer& pixels = config.output.u.RGBA;
  const int stride = pixels.stride;
  if (features.has_alpha) {
    SendRgbaRows(pixels.rgba, stride, config.output.width, config.output.height, sink);
  } else {
    SendRgbRows(pixels.rgba, stride, config.output.width, config.output.height, sink);
  }
}

struct AnimationDelete {
  void operator()(WebPAnimDecoder* decoder) const { WebPAnimDecoderDelete(decoder); }
};

void DecodeFirstFrame(const std::vector<std::uint8_t>& data, RowSink& sink) {
  WebPAnimDecoderOptions options;
  if (!WebPAnimDecoderOptionsInit(&options)) throw PictureError("WebP: cannot create the decoder");
  options.color_mode = MODE_RGBA;
  options.use_threads = 0;
  const WebPData whole{data.data(), data.size()};
  const std::unique_ptr<WebPAnimDecoder, AnimationDelete> decoder(WebPAnimDecoderNew(&whole, &options));
  if (!decoder) throw PictureError("WebP: the animation is damaged");
  WebPAnimInfo info;
  if (!WebPAnimDecoderGetInfo(decoder.get(), &info)) throw PictureError("WebP: the animation is damaged");
  CheckAnnouncedSize(info.canvas_width, info.canvas_height);
  const std::uint64_t pixels = std::uint64_t(info.canvas_width) * info.canvas_height;
  CheckDecodingCost("WebP", pixels, AnimationBytesPerPixel, data.size());  // as for a still picture
  const int width = static_cast<int>(info.canvas_width), height = static_cast<int>(info.canvas_height);
  CheckDecodingCost("WebP", pixels, AnimationBytesPerPixel, data.size(), HuffmanTableBytes(data, true, width, height));
  std::uint8_t* canvas = nullptr;
  int timestamp = 0;
  if (!WebPAnimDecoderGetNext(decoder.get(), &canvas, &timestamp))
    throw PictureError("WebP: the first frame of the animation is damaged");
  SendRgbaRows(canvas, width * 4, width, height, sink);
}

}  // namespace

void DecodeWebp(const OpenedFile& file, RowSink& sink) {
  if (file.Size() > MaxWebpFileBytes) throw PictureError("WebP: the file is too large for a picture");
  const std::vector<std::uint8_t> data = file.ReadWhole();
  WebPBitstreamFeatures features;
  Check(WebPGetFeatures(data.data(), data.size(), &features));
  CheckAnnouncedSize(features.width, features.height);
  if (features.has_animation) {
    DecodeFirstFrame(data, sink);
  } else {
    DecodeStill(data, features, sink);
  }
}

}  // namespace tessimar
