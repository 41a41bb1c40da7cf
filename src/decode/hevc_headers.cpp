#include "decode/hevc_headers.h"

#include <algorithm>
#include <vector>

#include "decode/bit_reader.h"
#include "decode/picture_error.h"

namespace tessimar {
namespace {

constexpr int SequenceParameterSet = 33;
constexpr int FirstNonSlice = 32;  // types below are slices (VCL NAL units)
constexpr std::size_t NalHeaderBytes = 2;
constexpr std::size_t HvccHeaderBytes = 22;
constexpr const char* DamagedSps = "HEIF: damaged HEVC sequence parameters";

int NalType(std::span<const std::uint8_t> nal) { return nal[0] >> 1 & 0x3F; }

// The payload without the emulation prevention bytes (0x03 after two zero bytes).
std::vector<std::uint8_t> Payload(std::span<const std::uint8_t> nal) {
  std::vector<std::uint8_t> payload;
  payload.reserve(nal.size());
  int zeros = 0;
  for (const std::uint8_t byte : nal.subspan(NalHeaderBytes)) {
    if (zeros >= 2 && byte == 3) {
      zeros = 0;
      continue;
    }
    zeros = byte == 0 ? zeros + 1 : 0;
    payload.push_back(byte);
  }
  return payload;
}

void SkipProfileTierLevel(BitReader& bits, int subLayers) {
  bits.Skip(88 + 8);  // general profile and level
  bool profiles[8]{}, levels[8]{};
  for (int i = 0; i < subLayers; ++i) profiles[i] = bits.Flag(), levels[i] = bits.Flag();
  if (subLayers > 0) bits.Skip(2 * static_cast<std::size_t>(8 - subLayers));
  for (int i = 0; i < subLayers; ++i) bits.Skip((profiles[i] ? 88 : 0) + (levels[i] ? 8 : 0));
}

void ReadSequenceParameterSet(std::span<const std::uint8_t> nal, CodedPictures& pictures) {
  const std::vector<std::uint8_t> payload = Payload(nal);
  BitReader bits(payload, DamagedSps);
  bits.Skip(4);  // sps_video_parameter_set_id
  const int subLayers = static_cast<int>(bits.Bits(3));
  if (subLayers > 6) throw PictureError(DamagedSps);
  bits.Skip(1);  // sps_temporal_id_nesting_flag
  SkipProfileTierLevel(bits, subLayers);
  bits.ExpGolomb();  // sps_seq_parameter_set_id
  const std::uint32_t chroma = bits.ExpGolomb();
  if (chroma > 3) throw PictureError(DamagedSps);
  if (chroma == 3) bits.Skip(1);  // separate_colour_plane_flag
  const std::uint64_t width = bits.ExpGolomb(), height = bits.ExpGolomb();
  if (bits.Flag()) {  // conformance window
    for (int i = 0; i < 4; ++i) bits.ExpGolomb();
  }
  const std::uint32_t deeper = std::max(bits.ExpGolomb(), bits.ExpGolomb());  // luma and chroma, less 8
  pictures.LargestPixels = std::max(pictures.LargestPixels, width * height);
  pictures.Bits = std::max(pictures.Bits, static_cast<int>(std::min<std::uint32_t>(deeper, 8) + 8));
}

void ScanNal(std::span<const std::uint8_t> nal, CodedPictures& pictures) {
  if (nal.size() < NalHeaderBytes) return;
  const int type = NalType(nal);
  if (type == SequenceParameterSet) ReadSequenceParameterSet(nal, pictures);
  // first_slice_segment_in_pic_flag: only such a slice starts a picture.
  if (type < FirstNonSlice && nal.size() > NalHeaderBytes && (nal[NalHeaderBytes] & 0x80) != 0) ++pictures.Pictures;
}

std::uint32_t BigEndian(std::span<const std::uint8_t> bytes) {
  std::uint32_t value = 0;
  for (const std::uint8_t byte : bytes) value = value << 8 | byte;
  return value;
}

}  // namespace

void ScanHevcData(std::span<const std::uint8_t> data, CodedPictures& pictures) {
  // libheif refuses the whole stream at a size running past its end, before decoding any of it.
  while (data.size() >= 4) {
    const std::uint32_t size = BigEndian(data.first(4));
    data = data.subspan(4);
    if (size > data.size()) return;
    ScanNal(data.first(size), pictures);
    data = data.subspan(size);
  }
}

void ScanHevcConfiguration(std::span<const std::uint8_t> hvcc, CodedPictures& pictures) {
  if (hvcc.size() <= HvccHeaderBytes) return;
  const int arrays = hvcc[HvccHeaderBytes];
  std::span<const std::uint8_t> rest = hvcc.subspan(HvccHeaderBytes + 1);
  for (int a = 0; a < arrays && rest.size() >= 3; ++a) {
    const std::uint32_t units = BigEndian(rest.subspan(1, 2));
    rest = rest.subspan(3);
    for (std::uint32_t u = 0; u < units && rest.size() >= 2; ++u) {
      const std::uint32_t size = BigEndian(rest.first(2));
      rest = rest.subspan(2);
      if (size > rest.size()) return;
      ScanNal(rest.first(size), pictures);
      rest = rest.subspan(size);
    }
  }
}

}  // namespace tessimar
