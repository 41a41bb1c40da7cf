#include "decode/png_interlaced.h"

#include <png.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "decode/kept_rows.h"

namespace tessimar {
namespace {

constexpr int Passes = 7;
constexpr int PassesKeptWhole = 5;
constexpr int LastPass = Passes - 1;

class InterlacedRows {
 public:
  InterlacedRows(const OpenedFile& file, PngReader& first) : width_(first.Width()), height_(first.Height()) {
    KeepRows(first);
    OpenStreamedPasses(file, first);
  }

  void Send(RowSink& sink) {
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width_) * 3);
    for (std::uint32_t y = 0; y < height_; ++y) {
      // The last pass holds whole rows, and alone.
      if (Stored(LastPass) && PNG_ROW_IN_INTERLACE_PASS(y, LastPass)) {
        sink.Row(static_cast<std::int32_t>(y), PassRow(LastPass, y));
        continue;
      }
      for (int pass = 0; pass < LastPass; ++pass) {
        if (Stored(pass) && PNG_ROW_IN_INTERLACE_PASS(y, pass)) Spread(pass, PassRow(pass, y), row.data());
      }
      sink.Row(static_cast<std::int32_t>(y), row.data());
    }
  }

 private:
  std::uint32_t Columns(int pass) const { return PNG_PASS_COLS(width_, pass); }
  std::uint32_t Rows(int pass) const { return PNG_PASS_ROWS(height_, pass); }
  // libpng skips the passes that hold no pixel of a small picture.
  bool Stored(int pass) const { return Columns(pass) != 0 && Rows(pass) != 0; }

  // The first five passes, a quarter of the pixels, are kept whole. The sixth is kept as far
  // as the memory of that quarter goes, so that a picture of repeated rows is read only once.
  void KeepRows(PngReader& reader) {
    const std::uint64_t budget = static_cast<std::uint64_t>(width_) * height_ * 3 / 4;
    std::uint64_t held = 0;
    for (int pass = 0; pass < LastPass; ++pass) {
      if (!Stored(pass)) continue;
      const std::size_t bytes = static_cast<std::size_t>(Columns(pass)) * 3;
      while (kept_[pass].Count() < Rows(pass) && (pass < PassesKeptWhole || held < budget)) {
        held += kept_[pass].Add(reader.ToRgb(reader.ReadRow(), Columns(pass)), bytes);
      }
    }
  }

  // The first reader goes on from the first row not kept. Each later pass with rows not kept
  // gets a reader of its own, which reads through every stored row before them.
  void OpenStreamedPasses(const OpenedFile& file, PngReader& first) {
    PngReader* next = &first;
    std::uint64_t before = 0;
    for (int pass = 0; pass < Passes; ++pass) {
      if (!Stored(pass)) continue;
      if (kept_[pass].Count() < Rows(pass)) {
        streamed_[pass] = next != nullptr ? next : OpenAt(file, before + kept_[pass].Count());
        next = nullptr;
      }
      before += Rows(pass);
    }
  }

  PngReader* OpenAt(const OpenedFile& file, std::uint64_t storedRows) {
    PngReader& reader = *own_.emplace_back(std::make_unique<PngReader>(file));
    for (std::uint64_t r = 0; r < storedRows; ++r) reader.ReadRow();
    return &reader;
  }

  const std::uint8_t* PassRow(int pass, std::uint32_t y) {
    const std::uint32_t index = (y - PNG_PASS_START_ROW(pass)) >> PNG_PASS_ROW_SHIFT(pass);
    if (index < kept_[pass].Count()) return kept_[pass].Row(index);
    PngReader& reader = *streamed_[pass];
    return reader.ToRgb(reader.ReadRow(), Columns(pass));
  }

  void Spread(int pass, const std::uint8_t* rgb, std::uint8_t* row) const {
    for (std::uint32_t k = 0; k < Columns(pass); ++k) {
      const std::uint32_t x = PNG_PASS_START_COL(pass) + (k << PNG_PASS_COL_SHIFT(pass));
      std::memcpy(row + static_cast<std::size_t>(x) * 3, rgb + static_cast<std::size_t>(k) * 3, 3);
    }
  }

  std::uint32_t width_, height_;
  std::array<KeptRows, Passes> kept_;
  std::array<PngReader*, Passes> streamed_{};
  std::vector<std::unique_ptr<PngReader>> own_;
};

}  // namespace

void SendInterlacedRows(const OpenedFile& file, PngReader& reader, RowSink& sink) {
  InterlacedRows rows(file, reader);
  rows.Send(sink);
}

}  // namespace tessimar
