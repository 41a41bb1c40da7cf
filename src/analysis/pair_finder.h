// The comparisons of the matching pass: finds the earlier picture that picture
// k pairs with, through an exact index of the earlier pictures' probes and
// signatures.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "analysis/compact_signature.h"
#include "catalogue/catalogue.h"

namespace tessimar {

class PairFinder {
 public:
  // useIndex false compares with every earlier picture (the reference the index
  // must equal).
  PairFinder(const Catalogue& catalogue, bool identicalOnly, bool useIndex = true);
  ~PairFinder();

  // Picture k's record is analysed (CCVStage Full, Height, Width, PreBuffer and
  // the signature arrays written). The nearest earlier byte-identical file,
  // else the nearest earlier look-alike. pump runs after every block of a byte
  // comparison (FilesEqual), as today.
  std::optional<TPicturePair> FindMatch(std::int32_t k, const std::function<void()>& pump);
  // Makes analysed picture k an earlier picture for the pictures after it.
  void Add(std::int32_t k);

  // Prefix length beyond the minimum: an indexed or queried prefix holds |T| -
  // 125 + this many tokens, and a candidate must share this many of them. Any
  // value from 1 to 125 is exact.
  static constexpr int PrefixExtra = 16;

 private:
  // How many comparisons ahead the signatures are fetched.
  static constexpr std::size_t PrefetchDistance = 4;

  // What the comparisons read of one earlier picture, copied from its record
  // when it is added.
  struct Earlier {
    std::int32_t Index = 0;
    double ShapeRatio = 0;
    FileIdentity Identity;
    std::uint64_t ProbeHash = 0;
    std::uint32_t CodesBegin = 0;  // its codes in codes_, ascending
    std::uint16_t CodeCount = 0;
    bool Regular = true;  // else compared by its lists, literally
  };

  // Records every analysed picture before end that is not yet an earlier
  // picture.
  void CatchUp(std::int32_t end);
  void Record(std::int32_t index);
  bool Comparable(const Earlier& earlier, double shapeRatio, const FileIdentity& identity, std::int32_t k) const;
  std::optional<TPicturePair> FindCopy(std::int32_t k, const std::function<void()>& pump);
  std::optional<TPicturePair> FindLookAlike(std::int32_t k);
  std::optional<TPicturePair> Verify(std::uint32_t entry, std::int32_t k, double shapeRatio,
                                     const FileIdentity& identity);
  void Prefetch(std::uint32_t entry) const;

  const Catalogue& catalogue_;
  bool identicalOnly_;
  bool useIndex_;
  std::int32_t nextToRecord_ = 0;

  std::vector<Earlier> earlier_;          // in catalogue order
  std::vector<std::uint16_t> codes_;      // the codes of every regular earlier signature
  std::vector<std::uint32_t> irregular_;  // entries compared literally, ascending
  std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> byProbe_;  // entries, ascending
  // For each code, the entries whose indexed prefix holds it, ascending.
  std::vector<std::vector<std::uint32_t>> byCode_;
  std::vector<std::uint8_t> shared_;  // per entry: prefix codes shared with the current picture
  std::unique_ptr<CodeBits> current_;
};

}  // namespace tessimar
