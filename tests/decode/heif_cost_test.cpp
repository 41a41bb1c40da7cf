// The cost of decoding a HEIF file, measured from its own headers before libheif decodes it:
// files of a few kilobytes whose grid canvas, coded pictures or repeated tiles would cost
// gigabytes or minutes are refused; the cost of ordinary files is what they hold.
#include "decode/heif_cost.h"

#include <gtest/gtest.h>
#include <libheif/heif.h>

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "decode/file_reading.h"
#include "decode/picture_error.h"
#include "decode/picture_loader.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

using testing::TempFolder;

// ---- writing the headers ----

std::string BigEndian(std::uint64_t value, int bytes) {
  std::string out;
  for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>(value >> (8 * i) & 0xFF);
  return out;
}

std::string BoxOf(std::string_view type, const std::string& body) {
  return BigEndian(8 + body.size(), 4) + std::string(type) + body;
}

std::string FullBoxOf(std::string_view type, int version, const std::string& body) {
  return BoxOf(type, BigEndian(static_cast<std::uint64_t>(version) << 24, 4) + body);
}

// Fields most significant bit first, as the HEVC and AV1 headers hold them.
class BitWriter {
 public:
  void Put(std::uint64_t value, int count) {
    for (int i = count - 1; i >= 0; --i) {
      if (used_ % 8 == 0) bytes_ += '\0';
      if ((value >> i & 1) != 0) bytes_.back() = static_cast<char>(bytes_.back() | 0x80 >> used_ % 8);
      ++used_;
    }
  }
  void Zeros(int count) {
    for (int i = 0; i < count; ++i) Put(0, 1);
  }
  void ExpGolomb(std::uint32_t value) {
    const std::uint64_t coded = std::uint64_t{value} + 1;
    int bits = 0;
    while (coded >> bits > 1) ++bits;
    Zeros(bits);
    Put(coded, bits + 1);
  }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
  int used_ = 0;
};

// An HEVC NAL unit of that type, with emulation prevention bytes as an encoder writes them.
std::string HevcNal(int type, const std::string& payload) {
  std::string nal{static_cast<char>(type << 1), '\x01'};
  int zeros = 0;
  for (const char byte : payload) {
    if (zeros >= 2 && static_cast<std::uint8_t>(byte) <= 3) {
      nal += '\x03';
      zeros = 0;
    }
    zeros = byte == 0 ? zeros + 1 : 0;
    nal += byte;
  }
  return nal;
}

struct SpsFields {
  std::uint32_t Width = 64, Height = 64;
  std::uint32_t LumaBits = 8;
  int SubLayers = 0;  // sps_max_sub_layers_minus1
};

std::string HevcSps(const SpsFields& fields) {
  BitWriter bits;
  bits.Put(0, 4);
  bits.Put(static_cast<std::uint64_t>(fields.SubLayers), 3);
  bits.Put(1, 1);
  bits.Zeros(96);  // general profile and level: zeros, which need emulation prevention
  for (int i = 0; i < fields.SubLayers; ++i) bits.Put(i % 2 == 0 ? 3 : 1, 2);  // profile and level present
  if (fields.SubLayers > 0) bits.Zeros(2 * (8 - fields.SubLayers));
  for (int i = 0; i < fields.SubLayers; ++i) bits.Zeros(i % 2 == 0 ? 96 : 8);
  bits.ExpGolomb(0);  // sps_seq_parameter_set_id
  bits.ExpGolomb(1);  // 4:2:0
  bits.ExpGolomb(fields.Width);
  bits.ExpGolomb(fields.Height);
  bits.Put(1, 1);  // a conformance window
  for (int i = 0; i < 4; ++i) bits.ExpGolomb(2);
  bits.ExpGolomb(fields.LumaBits - 8);
  bits.ExpGolomb(0);
  bits.Put(1, 8);  // the rest, not read
  return HevcNal(33, bits.Bytes());
}

// A slice of an IDR picture; only a first slice starts a picture.
std::string HevcSlice(bool first) { return HevcNal(19, std::string{first ? '\x80' : '\x40', '\x11', '\x22'}); }

// Item data: NAL units after their sizes in four bytes.
std::string HevcData(const std::vector<std::string>& nals) {
  std::string data;
  for (const std::string& nal : nals) data += BigEndian(nal.size(), 4) + nal;
  return data;
}

std::string Hvcc(const std::string& sps) {
  return BoxOf("hvcC",
               '\x01' + std::string(21, '\0') + '\x01' + '\x21' + BigEndian(1, 2) + BigEndian(sps.size(), 2) + sps);
}

struct SequenceFields {
  std::uint32_t Width = 64, Height = 64;
  int Profile = 0;
  int Bits = 8;
  bool Reduced = true;  // reduced_still_picture_header; else timing, decoder model and two operating points
};

std::string Av1SequenceHeader(const SequenceFields& fields) {
  BitWriter bits;
  bits.Put(static_cast<std::uint64_t>(fields.Profile), 3);
  bits.Put(1, 1);
  bits.Put(fields.Reduced ? 1 : 0, 1);
  if (fields.Reduced) {
    bits.Put(8, 5);
  } else {
    bits.Put(1, 1);  // timing info
    bits.Put(0xABCDEF12, 32);
    bits.Put(0x12345678, 32);
    bits.Put(1, 1);                      // equal picture interval:
    bits.Zeros(3), bits.Put(0b1010, 4);  // uvlc() of 9
    bits.Put(1, 1);                      // decoder model: buffer delays of 11 bits
    bits.Put(10, 5), bits.Put(0xFFFF, 32), bits.Put(4, 5), bits.Put(4, 5);
    bits.Put(1, 1);  // initial display delays
    bits.Put(1, 5);  // two operating points
    for (int i = 0; i < 2; ++i) {
      bits.Put(0x101, 12);
      bits.Put(i == 0 ? 9 : 4, 5);  // a level above 7 has a tier bit
      if (i == 0) bits.Put(1, 1);
      bits.Put(1, 1), bits.Put(0x7FF, 11), bits.Put(0x7FF, 11), bits.Put(1, 1);
      bits.Put(1, 1), bits.Put(5, 4);
    }
  }
  bits.Put(15, 4), bits.Put(15, 4);
  bits.Put(fields.Width - 1, 16), bits.Put(fields.Height - 1, 16);
  if (!fields.Reduced) {
    bits.Put(1, 1), bits.Put(0x7F, 7);  // frame ids
  }
  bits.Put(0b111, 3);
  if (!fields.Reduced) {
    bits.Put(0b1111, 4);
    bits.Put(1, 1), bits.Put(0b11, 2);  // order hints
    bits.Put(0, 1), bits.Put(1, 1);     // screen content tools forced on
    bits.Put(0, 1), bits.Put(1, 1);     // integer motion vectors forced
    bits.Put(0b110, 3);
  }
  bits.Put(0b111, 3);
  bits.Put(fields.Bits > 8 ? 1 : 0, 1);
  if (fields.Profile == 2 && fields.Bits > 8) bits.Put(fields.Bits == 12 ? 1 : 0, 1);
  bits.Put(0xFF, 8);  // the rest, not read
  return bits.Bytes();
}

std::string Av1Obu(int type, const std::string& payload) {
  return std::string{static_cast<char>(type << 3 | 0x02), static_cast<char>(payload.size() | 0x80), '\0'} + payload;
}

std::string Av1c(const std::string& sequenceHeader) {
  return BoxOf("av1C", std::string{'\x81', '\0', '\0', '\0'} + Av1Obu(1, sequenceHeader));
}

std::string GridData(int rows, int columns, std::uint32_t width, std::uint32_t height) {
  return std::string{'\0', '\x01', static_cast<char>(rows - 1), static_cast<char>(columns - 1)} + BigEndian(width, 4) +
         BigEndian(height, 4);
}

std::string OverlayData(std::uint16_t width, std::uint16_t height) {
  return std::string(10, '\0') + BigEndian(width, 2) + BigEndian(height, 2);
}

struct Item {
  std::uint32_t Id = 0;
  std::string Type;
  std::string Data;
  bool InItemData = false;  // in the idat box rather than the mdat box
};

struct Reference {
  std::string Type;
  std::uint32_t From = 0;
  std::vector<std::uint32_t> To;
};

struct HeifFile {
  std::uint32_t Primary = 1;
  std::vector<Item> Items;
  std::vector<Reference> References;
  std::vector<std::string> Properties;  // hvcC and av1C boxes
  std::uint64_t Misplaced = 0;          // added to every data offset

  std::string Meta(std::uint64_t mdatStart) const {
    std::string iloc = BigEndian(0x4400, 2) + BigEndian(Items.size(), 2), iinf, idat;
    std::uint64_t inMdat = mdatStart, inIdat = 0;
    for (const Item& item : Items) {
      std::uint64_t& offset = item.InItemData ? inIdat : inMdat;
      iloc += BigEndian(item.Id, 2) + BigEndian(item.InItemData ? 1 : 0, 2) + BigEndian(0, 2) + BigEndian(1, 2) +
              BigEndian(offset + Misplaced, 4) + BigEndian(item.Data.size(), 4);
      offset += item.Data.size();
      if (item.InItemData) idat += item.Data;
      iinf += FullBoxOf("infe", 2, BigEndian(item.Id, 2) + BigEndian(0, 2) + item.Type + '\0');
    }
    std::string iref;
    for (const Reference& reference : References) {
      std::string body = BigEndian(reference.From, 2) + BigEndian(reference.To.size(), 2);
      for (const std::uint32_t to : reference.To) body += BigEndian(to, 2);
      iref += BoxOf(reference.Type, body);
    }
    std::string properties;
    for (const std::string& property : Properties) properties += property;
    return FullBoxOf("meta", 0,
                     FullBoxOf("hdlr", 0, std::string(4, '\0') + "pict" + std::string(13, '\0')) +
                         FullBoxOf("pitm", 0, BigEndian(Primary, 2)) + FullBoxOf("iloc", 1, iloc) +
                         FullBoxOf("iinf", 0, BigEndian(Items.size(), 2) + iinf) + FullBoxOf("iref", 0, iref) +
                         BoxOf("idat", idat) + BoxOf("iprp", BoxOf("ipco", properties)));
  }

  std::string Bytes() const {
    const std::string ftyp = BoxOf("ftyp", std::string("heic") + std::string(4, '\0') + "mif1heic");
    const std::uint64_t mdatStart = ftyp.size() + Meta(0).size() + 8;
    std::string mdat;
    for (const Item& item : Items)
      if (!item.InItemData) mdat += item.Data;
    return ftyp + Meta(mdatStart) + BoxOf("mdat", mdat);
  }
};

HeifCost Measure(const HeifFile& file) {
  const TempFolder folder;
  return MeasureHeifDecoding(OpenedFile(folder.Write("measured.heic", file.Bytes())));
}

std::string MeasureFailure(const HeifFile& file) {
  try {
    Measure(file);
    return "measured";
  } catch (const PictureError& error) {
    return error.what();
  }
}

void ExpectCost(const HeifCost& cost, std::uint64_t largest, bool deep, std::uint64_t work) {
  EXPECT_EQ(cost.LargestPixels, largest);
  EXPECT_EQ(cost.Deep, deep);
  EXPECT_EQ(cost.Work, work);
}

// A file of one coded picture item.
HeifFile Coded(std::string type, std::string configuration, std::string data) {
  return {1, {{1, std::move(type), std::move(data)}}, {}, {std::move(configuration)}};
}

constexpr std::uint64_t Pixels64 = 64 * 64;

// ---- the measures ----

TEST(HeifCost, CodedPicturesCountAtTheSizeTheirOwnHeadersAnnounce) {
  const std::string small = Hvcc(HevcSps({}));
  const std::string av1Small = Av1c(Av1SequenceHeader({}));
  const std::string frame = Av1Obu(6, "\x10\x20\x30");
  struct Case {
    const char* Name;
    HeifFile File;
    std::uint64_t Largest;
    bool Deep;
    std::uint64_t Pictures;
  };
  const Case cases[] = {
      {"one picture, as its configuration says", Coded("hvc1", small, HevcData({HevcSlice(true)})), Pixels64, false, 1},
      {"a parameter set in the data overrules the configuration",
       Coded("hvc1", small, HevcData({HevcSps({8192, 8192}), HevcSlice(true)})), 8192 * 8192, false, 1},
      {"only first slices start pictures, each decoded in turn",
       Coded("hvc1", small, HevcData({HevcSlice(true), HevcSlice(false), HevcSlice(true), HevcSlice(true)})), Pixels64,
       false, 3},
      {"10-bit samples, after the profiles of sub-layers",
       Coded("hvc1", Hvcc(HevcSps({640, 480, 10, 3})), HevcData({HevcSlice(true)})), 640 * 480, true, 1},
      {"a stream of no slices is never decoded", Coded("hvc1", small, HevcData({HevcNal(34, "\xC1")})), Pixels64, false,
       0},
      {"AV1 still picture from its configuration", Coded("av01", Av1c(Av1SequenceHeader({640, 480})), frame), 640 * 480,
       false, 1},
      {"AV1 sequence header in the data, with timing, decoder model and operating points",
       Coded("av01", av1Small,
             Av1Obu(1, Av1SequenceHeader({1920, 1080, 2, 12, false})) + Av1Obu(3, "\x01") + Av1Obu(4, "\x02") + frame),
       1920 * 1080, true, 2},
      {"AV1 10-bit main profile", Coded("av01", Av1c(Av1SequenceHeader({64, 64, 0, 10})), frame), Pixels64, true, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    ExpectCost(Measure(c.File), c.Largest, c.Deep, c.Pictures * c.Largest + c.File.Items[0].Data.size());
  }
}

TEST(HeifCost, HugeAnnouncementsSaturateInsteadOfWrappingRound) {
  const std::uint32_t side = std::numeric_limits<std::uint32_t>::max() - 1;
  const HeifFile file = Coded("hvc1", Hvcc(HevcSps({side, side})), HevcData({HevcSlice(true), HevcSlice(true)}));
  ExpectCost(Measure(file), std::uint64_t{side} * side, false, std::numeric_limits<std::uint64_t>::max());
}

TEST(HeifCost, DerivedPicturesHoldTheirCanvasAndDecodeEveryInputEachTime) {
  const std::string tile = HevcData({HevcSlice(true)});
  const std::uint64_t tileWork = 512 * 512 + tile.size();
  const std::string configuration = Hvcc(HevcSps({512, 512}));
  const Item coded{1, "hvc1", tile};
  const std::vector<std::uint32_t> sixTimes(6, 1);
  struct Case {
    const char* Name;
    HeifFile File;
    std::uint64_t Largest;
    std::uint64_t Work;
  };
  const Case cases[] = {
      {"grid canvas from its own header, one tile in every place",
       {2, {coded, {2, "grid", GridData(2, 3, 30000, 30000)}}, {{"dimg", 2, sixTimes}}, {configuration}},
       30000ull * 30000,
       6 * tileWork},
      {"grid header in the idat box",
       {2, {coded, {2, "grid", GridData(2, 3, 3000, 2000), true}}, {{"dimg", 2, sixTimes}}, {configuration}},
       3000 * 2000,
       6 * tileWork},
      {"overlay canvas smaller than its inputs",
       {2, {coded, {2, "iovl", OverlayData(40, 30)}}, {{"dimg", 2, {1, 1}}}, {configuration}},
       512 * 512,
       2 * tileWork},
      {"identity transform of a grid",
       {3,
        {coded, {2, "grid", GridData(1, 2, 1024, 512)}, {3, "iden", ""}},
        {{"dimg", 2, {1, 1}}, {"dimg", 3, {2}}},
        {configuration}},
       1024 * 512,
       2 * tileWork},
      {"alpha plane decoded after its picture, and after each tile",
       {2,
        {coded, {2, "grid", GridData(1, 2, 1024, 512)}, {3, "hvc1", tile}, {4, "hvc1", tile}},
        {{"dimg", 2, {1, 1}}, {"auxl", 3, {2}}, {"auxl", 4, {1}}},
        {configuration}},
       1024 * 512,
       5 * tileWork},
      {"a thumbnail is not decoded",
       {1, {coded, {2, "hvc1", tile}}, {{"thmb", 2, {1}}}, {configuration}},
       512 * 512,
       tileWork},
      {"an item of no picture type costs nothing", {1, {{1, "Exif", "abc"}}, {}, {}}, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    ExpectCost(Measure(c.File), c.Largest, false, c.Work);
  }
}

TEST(HeifCost, StructuresThatCouldLoopOrReadOutsideTheFileFail) {
  const std::string configuration = Hvcc(HevcSps({}));
  const Item coded{1, "hvc1", HevcData({HevcSlice(true)})};
  HeifFile chain{1, {coded}, {}, {configuration}};
  for (std::uint32_t id = 2; id <= 11; ++id) {
    chain.Items.push_back({id, "iden", ""});
    chain.References.push_back({"dimg", id, {id - 1}});
  }
  chain.Primary = 11;
  HeifFile misplaced = Coded("hvc1", configuration, coded.Data);
  misplaced.Misplaced = 1 << 20;
  std::string truncatedSps = HevcSps({});
  truncatedSps.resize(12);
  struct Case {
    const char* Name;
    HeifFile File;
    const char* Message;
  };
  const Case cases[] = {
      {"grid among its own inputs",
       {2, {coded, {2, "grid", GridData(1, 2, 128, 64)}}, {{"dimg", 2, {1, 2}}}, {configuration}},
       "HEIF: pictures derived from each other in a circle"},
      {"alpha planes of each other",
       {1, {coded, {2, "hvc1", coded.Data}}, {{"auxl", 2, {1}}, {"auxl", 1, {2}}}, {configuration}},
       "HEIF: pictures derived from each other in a circle"},
      {"ten identity transforms deep", chain, "HEIF: derived pictures nested too deep"},
      {"data beyond the end of the file", misplaced, "HEIF: item data beyond the end"},
      {"damaged sequence parameters", Coded("hvc1", Hvcc(truncatedSps), coded.Data),
       "HEIF: damaged HEVC sequence parameters"},
      {"damaged AV1 sequence header", Coded("av01", Av1c("\x1F"), "\x32"), "HEIF: damaged AV1 sequence header"},
      {"AV1 picture without data", Coded("av01", Av1c(Av1SequenceHeader({})), ""),
       "HEIF: a coded picture without data"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(MeasureFailure(c.File), c.Message);
  }
}

TEST(HeifCost, FileWithoutItemStructureFails) {
  const TempFolder folder;
  const std::string path = folder.Write("bare.heic", BoxOf("ftyp", "heic") + BoxOf("mdat", "data"));
  EXPECT_THROW(MeasureHeifDecoding(OpenedFile(path)), PictureError);
}

// ---- loading ----

heif_error Append(heif_context*, const void* data, std::size_t size, void* bytes) {
  static_cast<std::string*>(bytes)->append(static_cast<const char*>(data), size);
  return {heif_error_Ok, heif_suberror_Unspecified, ""};
}

// A picture as libheif's encoders write it: a grid where x265 needs one, alpha as an auxiliary
// picture, samples of 8 or 10 bits (little-endian in two bytes).
std::string EncodedHeif(heif_compression_format format, int width, int height, bool alpha, int bits) {
  heif_context* context = heif_context_alloc();
  heif_image* image = nullptr;
  const heif_chroma chroma = bits > 8
                                 ? (alpha ? heif_chroma_interleaved_RRGGBBAA_LE : heif_chroma_interleaved_RRGGBB_LE)
                                 : (alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB);
  heif_image_create(width, height, heif_colorspace_RGB, chroma, &image);
  heif_image_add_plane(image, heif_channel_interleaved, width, height, bits);
  int stride = 0;
  std::uint8_t* rows = heif_image_get_plane(image, heif_channel_interleaved, &stride);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < stride; ++x)
      rows[y * stride + x] = static_cast<std::uint8_t>(x % 2 == 1 && bits > 8 ? x % 4 : x * 3 + y * 5);
  heif_encoder* encoder = nullptr;
  heif_context_get_encoder_for_format(context, format, &encoder);
  heif_encoder_set_lossy_quality(encoder, 50);
  heif_context_encode_image(context, image, encoder, nullptr, nullptr);
  std::string bytes;
  heif_writer writer{1, Append};
  heif_context_write(context, &writer, &bytes);
  heif_encoder_release(encoder);
  heif_image_release(image);
  heif_context_free(context);
  return bytes;
}

int LumaBits(const std::string& bytes) {
  heif_context* context = heif_context_alloc();
  heif_context_read_from_memory_without_copy(context, bytes.data(), bytes.size(), nullptr);
  heif_image_handle* handle = nullptr;
  heif_context_get_primary_image_handle(context, &handle);
  const int bits = handle != nullptr ? heif_image_handle_get_luma_bits_per_pixel(handle) : 0;
  heif_image_handle_release(handle);
  heif_context_free(context);
  return bits;
}

TEST(HeifCost, EncodedPicturesLoadAtTheirSize) {
  struct Case {
    const char* Name;
    heif_compression_format Format;
    int Width, Height;
    bool Alpha;
    int Bits = 8;
  };
  const Case cases[] = {
      {"HEVC", heif_compression_HEVC, 64, 48, false},
      {"HEVC with alpha", heif_compression_HEVC, 64, 48, true},
      {"HEVC of odd size", heif_compression_HEVC, 37, 23, false},
      {"HEVC of 10 bits", heif_compression_HEVC, 64, 48, false, 10},
      {"HEVC of 10 bits with alpha", heif_compression_HEVC, 64, 48, true, 10},
      {"AV1", heif_compression_AV1, 64, 48, false},
      {"AV1 with alpha", heif_compression_AV1, 64, 48, true},
  };
  const TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    WorkingBitmap bitmap;
    const std::string bytes = EncodedHeif(c.Format, c.Width, c.Height, c.Alpha, c.Bits);
    ASSERT_EQ(LumaBits(bytes), c.Bits) << "the encoder kept the depth";
    const std::string path = folder.Write("encoded.heic", bytes);
    EXPECT_EQ(LoadPicture(path, bitmap), (PictureSize{c.Height, c.Width}));
  }
}

std::string LoadFailure(const HeifFile& file) {
  const TempFolder folder;
  WorkingBitmap bitmap;
  try {
    LoadPicture(folder.Write("bomb.heic", file.Bytes()), bitmap);
    return "loaded";
  } catch (const PictureError& error) {
    return error.what();
  }
}

TEST(HeifCost, LoadingRefusesWhatTheDataCannotPayFor) {
  const std::string tile = HevcData({HevcSlice(true)});
  const std::string configuration = Hvcc(HevcSps({512, 512}));
  const HeifFile hugeCanvas{
      2, {{1, "hvc1", tile}, {2, "grid", GridData(1, 1, 30000, 30000)}}, {{"dimg", 2, {1}}}, {configuration}};
  const HeifFile tileEverywhere{2,
                                {{1, "hvc1", tile}, {2, "grid", GridData(40, 40, 512, 512)}},
                                {{"dimg", 2, std::vector<std::uint32_t>(1600, 1)}},
                                {configuration}};
  EXPECT_NE(LoadFailure(hugeCanvas).find("HEIF: the picture is too large for the "), std::string::npos);
  EXPECT_NE(LoadFailure(tileEverywhere).find("HEIF: the picture would take too long to decode for the "),
            std::string::npos);
}

}  // namespace
}  // namespace tessimar
