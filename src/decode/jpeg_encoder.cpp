#include "decode/jpeg_encoder.h"

#include <jerror.h>

#include <new>

#include "decode/jpeg_errors.h"
#include "decode/picture_error.h"

namespace tessimar {
namespace {

constexpr int Quality = 90;
constexpr std::size_t FirstOutputSize = 64 * 1024;

// A destination that grows a vector owned by the caller.
struct VectorDestination {
  jpeg_destination_mgr Manager{};  // first member: libjpeg hands back a pointer to it
  std::vector<std::uint8_t>* Bytes = nullptr;
};

VectorDestination& DestinationOf(j_compress_ptr info) { return *reinterpret_cast<VectorDestination*>(info->dest); }

// No exception may cross libjpeg's C frames, so a failed allocation becomes a bool.
bool TryResize(std::vector<std::uint8_t>& bytes, std::size_t size) {
  try {
    bytes.resize(size);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

void InitDestination(j_compress_ptr info) {
  VectorDestination& destination = DestinationOf(info);
  if (!TryResize(*destination.Bytes, FirstOutputSize)) ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
  destination.Manager.next_output_byte = destination.Bytes->data();
  destination.Manager.free_in_buffer = destination.Bytes->size();
}

boolean GrowDestination(j_compress_ptr info) {
  VectorDestination& destination = DestinationOf(info);
  const std::size_t used = destination.Bytes->size();
  if (!TryResize(*destination.Bytes, used * 2)) ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
  destination.Manager.next_output_byte = destination.Bytes->data() + used;
  destination.Manager.free_in_buffer = destination.Bytes->size() - used;
  return TRUE;
}

void TermDestination(j_compress_ptr info) {
  VectorDestination& destination = DestinationOf(info);
  destination.Bytes->resize(destination.Bytes->size() - destination.Manager.free_in_buffer);
}

}  // namespace

struct JpegRowEncoder::Job {
  JpegErrors Errors;
  jpeg_compress_struct Info{};
  VectorDestination Destination;

  explicit Job(std::vector<std::uint8_t>& bytes) {
    Info.err = InstallJpegErrors(Errors);
    Destination.Bytes = &bytes;
    Destination.Manager.init_destination = InitDestination;
    Destination.Manager.empty_output_buffer = GrowDestination;
    Destination.Manager.term_destination = TermDestination;
  }
  Job(const Job&) = delete;
  Job& operator=(const Job&) = delete;
  ~Job() { jpeg_destroy_compress(&Info); }  // safe on a struct never created
};

namespace {

using Job = JpegRowEncoder::Job;

void Configure(jpeg_compress_struct& info) {
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, Quality, TRUE);
}

// The setjmp frames, and every frame libjpeg can jump out of, hold no object with a destructor.
bool StartGuarded(Job& job, std::int32_t width, std::int32_t height) {
  if (setjmp(job.Errors.Jump) != 0) return false;
  jpeg_compress_struct& info = job.Info;
  jpeg_create_compress(&info);
  info.dest = &job.Destination.Manager;
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  Configure(info);
  jpeg_start_compress(&info, TRUE);
  return true;
}

QuantTable TableOf(const jpeg_compress_struct& info, int component) {
  QuantTable table{};
  const JQUANT_TBL& stored = *info.quant_tbl_ptrs[info.comp_info[component].quant_tbl_no];
  for (std::size_t i = 0; i < table.size(); ++i) table[i] = stored.quantval[i];
  return table;
}

bool ReadTablesGuarded(Job& job, JpegEncoderTables& tables) {
  if (setjmp(job.Errors.Jump) != 0) return false;
  jpeg_create_compress(&job.Info);
  Configure(job.Info);
  tables = {TableOf(job.Info, 0), TableOf(job.Info, 1)};
  return true;
}

bool WriteGuarded(Job& job, const std::uint8_t* rgb) {
  if (setjmp(job.Errors.Jump) != 0) return false;
  // libjpeg's row type is not const, but compression only reads the rows.
  JSAMPROW row = const_cast<JSAMPROW>(rgb);
  jpeg_write_scanlines(&job.Info, &row, 1);
  return true;
}

bool FinishGuarded(Job& job) {
  if (setjmp(job.Errors.Jump) != 0) return false;
  jpeg_finish_compress(&job.Info);
  return true;
}

}  // namespace

JpegRowEncoder::JpegRowEncoder() : job_(std::make_unique<Job>(bytes_)) {}

JpegRowEncoder::~JpegRowEncoder() = default;

void JpegRowEncoder::Begin(std::int32_t width, std::int32_t height) {
  if (!StartGuarded(*job_, width, height)) throw PictureError(job_->Errors.Message);
}

void JpegRowEncoder::Row(std::int32_t, const std::uint8_t* rgb) {
  if (!WriteGuarded(*job_, rgb)) throw PictureError(job_->Errors.Message);
}

std::vector<std::uint8_t> JpegRowEncoder::Finish() {
  if (!FinishGuarded(*job_)) throw PictureError(job_->Errors.Message);
  job_.reset();
  return std::move(bytes_);
}

const JpegEncoderTables& EncoderTables() {
  static const JpegEncoderTables tables = [] {
    std::vector<std::uint8_t> unused;
    Job job(unused);
    JpegEncoderTables read;
    if (!ReadTablesGuarded(job, read)) throw PictureError(job.Errors.Message);
    return read;
  }();
  return tables;
}

std::vector<std::uint8_t> EncodeJpeg(const RgbPicture& picture) {
  JpegRowEncoder encoder;
  encoder.Begin(picture.Width, picture.Height);
  for (std::int32_t y = 0; y < picture.Height; ++y) encoder.Row(y, picture.Row(y));
  return encoder.Finish();
}

}  // namespace tessimar
