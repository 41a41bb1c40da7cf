// WebP files made by libwebp's own encoders, still and animated.
#include <webp/encode.h>
#include <webp/mux.h>

#include <memory>
#include <stdexcept>

#include "picture_fixtures.h"

namespace tessimar::testing {
namespace {

struct EncoderDelete {
  void operator()(WebPAnimEncoder* encoder) const { WebPAnimEncoderDelete(encoder); }
};

std::string Taken(std::uint8_t* data, std::size_t size) {
  if (size == 0) throw std::runtime_error("libwebp could not encode the picture");
  std::string bytes(reinterpret_cast<const char*>(data), size);
  WebPFree(data);
  return bytes;
}

}  // namespace

std::string WebpBytes(const Image& image, const WebpOptions& options) {
  const bool alpha = image.Channels == 4;
  const int stride = image.Width * image.Channels;
  const std::uint8_t* samples = image.Samples.data();
  std::uint8_t* out = nullptr;
  std::size_t size = 0;
  if (options.Lossless) {
    size = alpha ? WebPEncodeLosslessRGBA(samples, image.Width, image.Height, stride, &out)
                 : WebPEncodeLosslessRGB(samples, image.Width, image.Height, stride, &out);
  } else {
    const auto quality = static_cast<float>(options.Quality);
    size = alpha ? WebPEncodeRGBA(samples, image.Width, image.Height, stride, quality, &out)
                 : WebPEncodeRGB(samples, image.Width, image.Height, stride, quality, &out);
  }
  return Taken(out, size);
}

std::string AnimatedWebpBytes(const std::vector<Image>& frames) {
  const Image& first = frames.at(0);
  WebPAnimEncoderOptions options;
  if (!WebPAnimEncoderOptionsInit(&options)) throw std::runtime_error("libwebp: no animation encoder");
  const std::unique_ptr<WebPAnimEncoder, EncoderDelete> encoder(
      WebPAnimEncoderNew(first.Width, first.Height, &options));
  WebPConfig config;
  if (!encoder || !WebPConfigInit(&config)) throw std::runtime_error("libwebp: no animation encoder");
  config.lossless = 1;
  int timestamp = 0;
  for (const Image& frame : frames) {
    WebPPicture picture;
    if (!WebPPictureInit(&picture)) throw std::runtime_error("libwebp: no picture");
    picture.use_argb = 1, picture.width = frame.Width, picture.height = frame.Height;
    const bool imported = WebPPictureImportRGBA(&picture, frame.Samples.data(), frame.Width * 4) != 0;
    const bool added = imported && WebPAnimEncoderAdd(encoder.get(), &picture, timestamp, &config) != 0;
    WebPPictureFree(&picture);
    if (!added) throw std::runtime_error("libwebp: cannot add a frame");
    timestamp += 100;
  }
  WebPData data;
  WebPDataInit(&data);
  if (!WebPAnimEncoderAdd(encoder.get(), nullptr, timestamp, nullptr) ||
      !WebPAnimEncoderAssemble(encoder.get(), &data))
    throw std::runtime_error("libwebp: cannot assemble the animation");
  std::string bytes(reinterpret_cast<const char*>(data.bytes), data.size);
  WebPDataClear(&data);
  return bytes;
}

}  // namespace tessimar::testing
