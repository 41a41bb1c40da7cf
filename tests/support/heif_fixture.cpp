// HEIF files made by libheif's own encoders (x265 for HEIC, AOM for AVIF), and a grid of
// tiles written box by box, as phones write it, from tiles libheif encoded.
#include <libheif/heif.h>

#include <memory>
#include <stdexcept>
#include <string_view>

#include "byte_order.h"
#include "picture_fixtures.h"

namespace tessimar::testing {
namespace {

void Check(const heif_error& error) {
  if (error.code != heif_error_Ok) throw std::runtime_error(std::string("libheif: ") + error.message);
}

struct ContextFree {
  void operator()(heif_context* context) const { heif_context_free(context); }
};
struct EncoderRelease {
  void operator()(heif_encoder* encoder) const { heif_encoder_release(encoder); }
};
struct ImageRelease {
  void operator()(heif_image* image) const { heif_image_release(image); }
};
struct OptionsFree {
  void operator()(heif_encoding_options* options) const { heif_encoding_options_free(options); }
};

heif_error Append(heif_context*, const void* data, std::size_t size, void* bytes) {
  static_cast<std::string*>(bytes)->append(static_cast<const char*>(data), size);
  return {heif_error_Ok, heif_suberror_Unspecified, "Success"};
}

// Samples above 8 bits repeat the 8-bit sample's high bits below it, as a scaling does.
void FillSamples(const Image& image, int bitDepth, std::uint8_t* plane, int stride) {
  const std::size_t count = static_cast<std::size_t>(image.Width) * image.Channels;
  for (int y = 0; y < image.Height; ++y) {
    const std::uint8_t* in = image.Samples.data() + static_cast<std::size_t>(y) * count;
    std::uint8_t* out = plane + static_cast<std::ptrdiff_t>(y) * stride;
    for (std::size_t i = 0; i < count; ++i) {
      if (bitDepth == 8) {
        out[i] = in[i];
      } else {
        const unsigned deep = unsigned{in[i]} << (bitDepth - 8) | unsigned{in[i]} >> (16 - bitDepth);
        out[2 * i] = static_cast<std::uint8_t>(deep), out[2 * i + 1] = static_cast<std::uint8_t>(deep >> 8);
      }
    }
  }
}

std::unique_ptr<heif_image, ImageRelease> HeifImage(const Image& image, int bitDepth) {
  const bool alpha = image.Channels == 4;
  const heif_chroma chroma = bitDepth == 8
                                 ? (alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB)
                                 : (alpha ? heif_chroma_interleaved_RRGGBBAA_LE : heif_chroma_interleaved_RRGGBB_LE);
  heif_image* made = nullptr;
  Check(heif_image_create(image.Width, image.Height, heif_colorspace_RGB, chroma, &made));
  std::unique_ptr<heif_image, ImageRelease> result(made);
  Check(heif_image_add_plane(made, heif_channel_interleaved, image.Width, image.Height, bitDepth));
  int stride = 0;
  std::uint8_t* plane = heif_image_get_plane(made, heif_channel_interleaved, &stride);
  FillSamples(image, bitDepth, plane, stride);
  return result;
}

// The box of that type, found by its name (empty when there is none): enough for the few
// boxes libheif writes.
std::string_view FindBox(std::string_view file, std::string_view type) {
  const std::size_t at = file.find(type);
  if (at == std::string_view::npos || at < 4) return {};
  std::size_t size = 0;
  for (std::size_t i = at - 4; i < at; ++i) size = size << 8 | static_cast<unsigned char>(file[i]);
  return file.substr(at - 4, size);
}

std::string Box(std::string_view type, std::string_view payload) {
  return BigEndian(8 + payload.size(), 4) + std::string(type) + std::string(payload);
}

std::string FullBox(std::string_view type, int version, std::string_view payload) {
  return Box(type, BigEndian(static_cast<std::uint64_t>(version) << 24, 4) + std::string(payload));
}

std::string ItemInfo(int id, std::string_view type) {
  return FullBox("infe", 2, BigEndian(id, 2) + BigEndian(0, 2) + std::string(type) + std::string(1, '\0'));
}

// Properties: 1 the tiles' hvcC, 2 their ispe, 3 the grid's ispe, 4 the colour if the tile has
// one, for all.
std::string Properties(std::string_view tile, int tileCount, int width, int height) {
  const std::string_view colour = FindBox(tile, "colr");
  const std::string ispe = FullBox("ispe", 0, BigEndian(64, 4) + BigEndian(64, 4));
  const std::string gridIspe = FullBox("ispe", 0, BigEndian(width, 4) + BigEndian(height, 4));
  const std::string ipco = Box("ipco", std::string(FindBox(tile, "hvcC")) + ispe + gridIspe + std::string(colour));
  const std::string colourAssociation = colour.empty() ? "" : "\x04";
  const int extra = colour.empty() ? 0 : 1;
  std::string associations = BigEndian(1 + tileCount, 4) + BigEndian(1, 2) + BigEndian(1 + extra, 1) + "\x03";
  associations += colourAssociation;
  for (int i = 0; i < tileCount; ++i)
    associations += BigEndian(2 + i, 2) + BigEndian(2 + extra, 1) + "\x81\x02" + colourAssociation;
  return Box("iprp", ipco + FullBox("ipma", 0, associations));
}

// Version 1: the grid's descriptor in idat (construction method 1), the tiles one after
// another from dataStart on.
std::string Locations(std::size_t descriptorSize, std::size_t dataStart, const std::vector<std::string>& tiles) {
  std::string items = BigEndian(0x4400, 2) + BigEndian(1 + tiles.size(), 2);
  items += BigEndian(1, 2) + BigEndian(1, 2) + BigEndian(0, 2) + BigEndian(1, 2) + BigEndian(0, 4) +
           BigEndian(descriptorSize, 4);
  for (std::size_t i = 0; i < tiles.size(); ++i) {
    items += BigEndian(2 + i, 2) + BigEndian(0, 2) + BigEndian(0, 2) + BigEndian(1, 2) + BigEndian(dataStart, 4) +
             BigEndian(tiles[i].size(), 4);
    dataStart += tiles[i].size();
  }
  return FullBox("iloc", 1, items);
}

}  // namespace

std::string HeifBytes(const Image& image, const HeifOptions& options) {
  const std::unique_ptr<heif_context, ContextFree> context(heif_context_alloc());
  heif_encoder* made = nullptr;
  Check(heif_context_get_encoder_for_format(context.get(), options.Avif ? heif_compression_AV1 : heif_compression_HEVC,
                                            &made));
  const std::unique_ptr<heif_encoder, EncoderRelease> encoder(made);
  Check(heif_encoder_set_lossy_quality(made, options.Quality));
  if (options.Avif) Check(heif_encoder_set_parameter(made, "speed", "8"));
  const auto picture = HeifImage(image, options.BitDepth);
  const std::unique_ptr<heif_encoding_options, OptionsFree> encoding(heif_encoding_options_alloc());
  encoding->image_orientation = static_cast<heif_orientation>(options.Orientation);
  Check(heif_context_encode_image(context.get(), picture.get(), made, encoding.get(), nullptr));
  std::string bytes;
  heif_writer writer{1, Append};
  Check(heif_context_write(context.get(), &writer, &bytes));
  return bytes;
}

std::string HeifGridBytes(const std::vector<Image>& tiles, int columns, int width, int height) {
  std::vector<std::string> encoded;
  for (const Image& tile : tiles) {
    if (tile.Width != 64 || tile.Height != 64) throw std::invalid_argument("grid tiles are 64 x 64");
    encoded.push_back(HeifBytes(tile, {.Quality = 90}));
  }
  std::vector<std::string> data;
  for (const std::string& tile : encoded) data.emplace_back(FindBox(tile, "mdat").substr(8));
  const int count = static_cast<int>(tiles.size());
  const int rows = (count + columns - 1) / columns;
  const std::string descriptor = BigEndian(0, 2) + BigEndian(rows - 1, 1) + BigEndian(columns - 1, 1) +
                                 BigEndian(width, 2) + BigEndian(height, 2);
  const std::string ftyp = Box("ftyp", "heic" + BigEndian(0, 4) + "mif1heic");
  std::string info = BigEndian(1 + count, 2) + ItemInfo(1, "grid");
  std::string references = BigEndian(1, 2) + BigEndian(count, 2);
  for (int i = 0; i < count; ++i) info += ItemInfo(2 + i, "hvc1"), references += BigEndian(2 + i, 2);
  const std::string common = FullBox("hdlr", 0, BigEndian(0, 4) + "pict" + std::string(13, '\0')) +
                             FullBox("pitm", 0, BigEndian(1, 2)) + FullBox("iinf", 0, info) +
                             FullBox("iref", 0, Box("dimg", references)) +
                             Properties(encoded[0], count, width, height) + Box("idat", descriptor);
  // The locations' size does not depend on their values: measure, then write them.
  const std::size_t metaSize = 12 + common.size() + Locations(0, 0, data).size();
  const std::size_t dataStart = ftyp.size() + metaSize + 8;
  const std::string meta = FullBox("meta", 0, common + Locations(descriptor.size(), dataStart, data));
  std::string all;
  for (const std::string& tile : data) all += tile;
  return ftyp + meta + Box("mdat", all);
}

}  // namespace tessimar::testing
