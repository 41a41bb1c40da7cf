#include "decode/jpeg_work_limits.h"

namespace tessimar {
namespace {

std::uint64_t Blocks(const jpeg_component_info& component) {
  return std::uint64_t{component.width_in_blocks} * component.height_in_blocks;
}

void CheckCoefficients(jpeg_decompress_struct& info, std::uint64_t dataBytes) {
  if (!jpeg_has_multiple_scans(&info)) return;
  std::uint64_t coefficients = 0;
  for (int c = 0; c < info.num_components; ++c) coefficients += Blocks(info.comp_info[c]) * sizeof(JBLOCK);
  if (coefficients > LargeCoefficientBytes && dataBytes < coefficients / MostCoefficientBytesPerDataByte) {
    FailJpeg(reinterpret_cast<j_common_ptr>(&info), "too little data for a picture of several scans this large");
  }
}

// Called before each row of blocks is read: a new scan adds a pass over its components' blocks.
void CountScans(j_common_ptr common) {
  auto& info = *reinterpret_cast<j_decompress_ptr>(common);
  auto& limits = *reinterpret_cast<JpegWorkLimits*>(info.progress);
  if (info.input_scan_number == limits.Scan) return;
  limits.Scan = info.input_scan_number;
  for (int c = 0; c < info.comps_in_scan; ++c) limits.BlockPasses += Blocks(*info.cur_comp_info[c]);
  if (limits.BlockPasses > FreeBlockPasses && limits.BlockPasses / MostBlockPassesPerDataByte > limits.DataBytes) {
    FailJpeg(common, "too little data for so many scans of a picture this large");
  }
}

}  // namespace

void LimitJpegWork(jpeg_decompress_struct& info, JpegWorkLimits& limits, std::uint64_t dataBytes) {
  CheckCoefficients(info, dataBytes);
  limits = JpegWorkLimits{};
  limits.Manager.progress_monitor = CountScans;
  limits.DataBytes = dataBytes;
  info.progress = &limits.Manager;
}

}  // namespace tessimar
