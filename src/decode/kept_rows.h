// Rows of an interlaced picture kept until their place comes, as decoded.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessimar {

// The rows of one pass, in order. A row equal to the one before it is kept once: a picture of
// little data is mostly such rows, and then costs little memory.
class KeptRows {
 public:
  // Keeps bytes bytes of row; returns how many bytes that newly holds.
  std::size_t Add(const std::uint8_t* row, std::size_t bytes) {
    const bool repeated = !distinct_.empty() && distinct_.back().size() == bytes &&
                          std::equal(row, row + bytes, distinct_.back().begin());
    if (!repeated) distinct_.emplace_back(row, row + bytes);
    rows_.push_back(distinct_.size() - 1);
    return repeated ? 0 : bytes;
  }
  std::uint32_t Count() const { return static_cast<std::uint32_t>(rows_.size()); }
  const std::uint8_t* Row(std::uint32_t index) const { return distinct_[rows_[index]].data(); }

 private:
  std::vector<std::vector<std::uint8_t>> distinct_;
  std::vector<std::size_t> rows_;
};

}  // namespace tessimar
