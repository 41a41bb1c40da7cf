#include "decode/jpeg_file_source.h"

#include <jerror.h>

#include <algorithm>
#include <cstdint>

namespace tessimar {
namespace {

constexpr std::size_t SourceBufferBytes = 64 * 1024;

struct FileSource {
  jpeg_source_mgr Manager;  // first member: libjpeg hands back a pointer to it
  const OpenedFile* File;
  std::uint64_t Position;
  JOCTET* Buffer;
};

FileSource& SourceOf(j_decompress_ptr info) { return *reinterpret_cast<FileSource*>(info->src); }

void InitSource(j_decompress_ptr) {}

std::size_t ReadNext(j_decompress_ptr info, FileSource& source) {
  const auto got = source.File->TryReadSome(source.Position, source.Buffer, SourceBufferBytes);
  if (!got) ERREXIT(info, JERR_FILE_READ);
  return *got;
}

boolean FillInputBuffer(j_decompress_ptr info) {
  FileSource& source = SourceOf(info);
  std::size_t got = ReadNext(info, source);
  if (got == 0) {
    if (source.Position == 0) ERREXIT(info, JERR_INPUT_EMPTY);
    WARNMS(info, JWRN_JPEG_EOF);
    source.Buffer[0] = 0xFF;
    source.Buffer[1] = JPEG_EOI;
    got = 2;
  } else {
    source.Position += got;
  }
  source.Manager.next_input_byte = source.Buffer;
  source.Manager.bytes_in_buffer = got;
  return TRUE;
}

// Moves the position over what the file holds instead of reading it. Past the end, the skip
// goes on through fake end markers, a warning each, as with libjpeg's own sources: a file cut
// inside a long segment then fails or loads as it would from memory.
void SkipInputData(j_decompress_ptr info, long count) {
  if (count <= 0) return;
  FileSource& source = SourceOf(info);
  jpeg_source_mgr& manager = source.Manager;
  auto left = static_cast<std::uint64_t>(count);
  if (left > manager.bytes_in_buffer) {
    left -= manager.bytes_in_buffer;
    const std::uint64_t inFile = std::min(left, source.File->Size() - std::min(source.Position, source.File->Size()));
    source.Position += inFile;
    left -= inFile;
    manager.bytes_in_buffer = 0;
    while (left > manager.bytes_in_buffer) {
      left -= manager.bytes_in_buffer;
      FillInputBuffer(info);
    }
  }
  manager.next_input_byte += left;
  manager.bytes_in_buffer -= left;
}

void TermSource(j_decompress_ptr) {}

}  // namespace

void SetJpegFileSource(jpeg_decompress_struct& info, const OpenedFile& file) {
  const auto common = reinterpret_cast<j_common_ptr>(&info);
  auto* source = static_cast<FileSource*>((*info.mem->alloc_small)(common, JPOOL_PERMANENT, sizeof(FileSource)));
  source->Buffer = static_cast<JOCTET*>((*info.mem->alloc_small)(common, JPOOL_PERMANENT, SourceBufferBytes));
  source->File = &file;
  source->Position = 0;
  source->Manager.init_source = InitSource;
  source->Manager.fill_input_buffer = FillInputBuffer;
  source->Manager.skip_input_data = SkipInputData;
  source->Manager.resync_to_restart = jpeg_resync_to_restart;
  source->Manager.term_source = TermSource;
  source->Manager.next_input_byte = nullptr;
  source->Manager.bytes_in_buffer = 0;
  info.src = &source->Manager;
}

}  // namespace tessimar
