#include "decode/av1_headers.h"

#include <algorithm>

#include "decode/bit_reader.h"
#include "decode/picture_error.h"

namespace tessimar {
namespace {

constexpr int SequenceHeader = 1;
constexpr int FrameHeader = 3;
constexpr int Frame = 6;
constexpr std::size_t Av1cHeaderBytes = 4;
constexpr const char* DamagedSequence = "HEIF: damaged AV1 sequence header";

void SkipOperatingPoints(BitReader& bits) {
  bool decoderModel = false;
  int delayBits = 0;
  if (bits.Flag()) {               // timing_info_present_flag
    bits.Skip(64);                 // num_units_in_display_tick, time_scale
    if (bits.Flag()) bits.Uvlc();  // equal_picture_interval: num_ticks_per_picture_minus_1
    decoderModel = bits.Flag();
    if (decoderModel) {
      delayBits = static_cast<int>(bits.Bits(5)) + 1;
      bits.Skip(32 + 5 + 5);  // decoding tick, removal and presentation time lengths
    }
  }
  const bool displayDelay = bits.Flag();
  const int points = static_cast<int>(bits.Bits(5)) + 1;
  for (int i = 0; i < points; ++i) {
    bits.Skip(12);                       // operating_point_idc
    if (bits.Bits(5) > 7) bits.Skip(1);  // seq_level_idx, seq_tier
    if (decoderModel && bits.Flag()) bits.Skip(2 * static_cast<std::size_t>(delayBits) + 1);
    if (displayDelay && bits.Flag()) bits.Skip(4);
  }
}

// From frame_id_numbers_present_flag to enable_restoration, which set nothing read here.
void SkipCodingTools(BitReader& bits, bool reduced) {
  if (!reduced && bits.Flag()) bits.Skip(4 + 3);  // frame ids
  bits.Skip(3);                                   // 128x128 superblocks, filter intra, intra edge
  if (!reduced) {
    bits.Skip(4);  // interintra and masked compound, warped motion, dual filter
    const bool orderHint = bits.Flag();
    if (orderHint) bits.Skip(2);                            // jnt_comp, ref_frame_mvs
    const bool screenContent = bits.Flag() || bits.Flag();  // chosen, else forced
    if (screenContent && !bits.Flag()) bits.Skip(1);        // seq_choose_integer_mv, seq_force_integer_mv
    if (orderHint) bits.Skip(3);
  }
  bits.Skip(3);  // superres, cdef, restoration
}

void ReadSequenceHeader(std::span<const std::uint8_t> payload, CodedPictures& pictures) {
  BitReader bits(payload, DamagedSequence);
  const std::uint32_t profile = bits.Bits(3);
  bits.Skip(1);  // still_picture
  const bool reduced = bits.Flag();
  if (reduced) {
    bits.Skip(5);  // seq_level_idx
  } else {
    SkipOperatingPoints(bits);
  }
  const int widthBits = static_cast<int>(bits.Bits(4)) + 1, heightBits = static_cast<int>(bits.Bits(4)) + 1;
  const std::uint64_t width = std::uint64_t{bits.Bits(widthBits)} + 1,
                      height = std::uint64_t{bits.Bits(heightBits)} + 1;
  SkipCodingTools(bits, reduced);
  const bool high = bits.Flag();
  const int depth = high && profile == 2 && bits.Flag() ? 12 : high ? 10 : 8;
  pictures.LargestPixels = std::max(pictures.LargestPixels, width * height);
  pictures.Bits = std::max(pictures.Bits, depth);
}

// leb128(): at most eight bytes; false where the data end first.
bool ReadSize(std::span<const std::uint8_t>& data, std::uint64_t& size) {
  size = 0;
  for (int i = 0; i < 8; ++i) {
    if (data.empty()) return false;
    const std::uint8_t byte = data.front();
    data = data.subspan(1);
    size |= std::uint64_t{byte & 0x7Fu} << (7 * i);
    if ((byte & 0x80) == 0) return true;
  }
  return true;
}

}  // namespace

void ScanAv1Data(std::span<const std::uint8_t> data, CodedPictures& pictures) {
  while (!data.empty()) {
    const std::uint8_t header = data.front();
    const int type = header >> 3 & 0x0F;
    const std::size_t headerBytes = (header & 0x04) != 0 ? 2 : 1;  // obu_extension_flag
    if (data.size() < headerBytes) return;
    data = data.subspan(headerBytes);
    std::uint64_t size = data.size();
    if ((header & 0x02) != 0 && !ReadSize(data, size)) return;  // obu_has_size_field
    if (size > data.size()) return;
    const std::span<const std::uint8_t> payload = data.first(static_cast<std::size_t>(size));
    if (type == SequenceHeader) ReadSequenceHeader(payload, pictures);
    if (type == FrameHeader || type == Frame) ++pictures.Pictures;
    data = data.subspan(payload.size());
  }
}

void ScanAv1Configuration(std::span<const std::uint8_t> av1c, CodedPictures& pictures) {
  if (av1c.size() > Av1cHeaderBytes) ScanAv1Data(av1c.subspan(Av1cHeaderBytes), pictures);
}

}  // namespace tessimar
