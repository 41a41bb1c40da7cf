// The comparisons of the matching pass: finds the earlier picture that picture k pairs with,
// through an exact index of the earlier pictures' probes and signatures.
//
// The index finds exactly what comparing k with every earlier picture finds. Copies: only equal
// probes and sizes reach the byte comparison, each file read a bounded number of times
// (copy_finder.h). Look-alikes: prefix filtering. Each earlier signature's
// tokens are ordered by a fixed global order (rarest first), and its first |T| - 125 + L are
// indexed. Two signatures that agree in 125 tokens or more share their first L agreeing tokens
// (in the global order) within both such prefixes, so a picture sharing fewer than L prefix
// tokens with k cannot match it. The candidates are compared in full, nearest first; the first
// match wins, as in the plain scan. A signature of fewer than 125 tokens can never match and is
// neither indexed nor queried. The newest earlier pictures are compared before the index is
// asked: a run of look-alikes finds its match among them, and would make nearly every earlier
// picture of the run a candidate.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "catalogue/catalogue.h"
#include "matching/compact_signature.h"
#include "matching/copy_finder.h"

namespace tessimar {

class PairFinder {
 public:
  // useIndex false compares with every earlier picture (the reference the index must equal).
  PairFinder(const Catalogue& catalogue, bool identicalOnly, bool useIndex = true);
  ~PairFinder();

  // Picture k's record is analysed (CCVStage Full, Height, Width, PreBuffer and the signature
  // arrays written). The nearest earlier byte-identical file, else the nearest earlier look-alike.
  // goOn runs after every block of a file read for a byte comparison; once it answers false
  // the search ends with nothing found.
  // Analysed pictures before k that were not added are added first; the records of added
  // pictures must not change afterwards.
  std::optional<TPicturePair> FindMatch(std::int32_t k, const std::function<bool()>& goOn);
  // Makes analysed picture k an earlier picture for the pictures after it.
  void Add(std::int32_t k);

  // L above: how many tokens beyond the minimum the prefixes hold and how many of them a
  // candidate must share. Any value from 1 to 125 is exact; 16 was the fastest of 1 to 65 on
  // signatures with the statistics of photographs.
  static constexpr int PrefixExtra = 16;

 private:
  // How many comparisons ahead the signatures are fetched.
  static constexpr std::size_t PrefetchDistance = 4;
  // How many of the newest earlier pictures are compared before the index is asked.
  static constexpr std::size_t RecentFirst = 32;

  // What the comparisons read of one earlier picture, copied from its record when it is added.
  struct Earlier {
    std::int32_t Index = 0;
    double ShapeRatio = 0;
    FileIdentity Identity;
    std::size_t CodesBegin = 0;  // its codes in codes_, ascending
    std::uint16_t CodeCount = 0;
    bool Regular = true;  // else compared by its lists, literally
  };

  // Records every analysed picture before end that is not yet an earlier picture.
  void CatchUp(std::int32_t end);
  void Record(std::int32_t index);
  bool Comparable(const Earlier& earlier, double shapeRatio, const FileIdentity& identity, std::int32_t k) const;
  std::optional<TPicturePair> FindCopy(std::int32_t k, const std::function<bool()>& goOn);
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
  CopyFinder copies_;
  // For each code, the entries whose indexed prefix holds it, ascending.
  std::vector<std::vector<std::uint32_t>> byCode_;
  std::vector<std::uint8_t> shared_;  // per entry: prefix codes shared with the current picture
  std::unique_ptr<CodeBits> current_;
};

}  // namespace tessimar
