// Finds the nearest earlier file with the same bytes as the picture under analysis, reading
// each file whole a bounded number of times however many files look alike at their start.
//
// Only files of equal probe and equal size can be equal. The nearest such file is compared
// byte by byte first: a single copy, the common case, costs the reading of two files. When
// that one differs and others are left (a scanner's pages, a camera's frames, copies that
// differ at their end), the current file and every earlier one not yet digested are read once
// for a digest of their content, kept for the pictures after them; only files whose digest
// equals the current one's are then compared byte by byte, nearest first, to confirm.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "catalogue/catalogue.h"
#include "matching/content_digest.h"
#include "matching/stop_latch.h"

namespace tessimar {

class CopyFinder {
 public:
  explicit CopyFinder(const Catalogue& catalogue) : catalogue_(catalogue) {}

  // Makes analysed picture index an earlier picture: the next entry, numbered from 0.
  void Add(std::int32_t index);

  // The nearest entry before picture k that comparable admits, whose probe equals k's and
  // whose file holds k's bytes. goOn runs after every block read; once it answers false the
  // search ends with nothing found.
  std::optional<std::uint32_t> Find(std::int32_t k, const std::function<bool(std::uint32_t)>& comparable,
                                    const std::function<bool()>& goOn);

 private:
  static constexpr std::uint32_t NoEntry = UINT32_MAX;
  enum class Content : std::uint8_t { NotRead, Digested, Unreadable };
  struct Entry {
    std::int32_t Index = 0;
    std::uint32_t Previous = NoEntry;  // the entry before it of the same probe and size
    Content State = Content::NotRead;
  };
  struct DigestHash {
    std::size_t operator()(const ContentDigest& digest) const;
  };

  bool Candidate(std::uint32_t entry, std::int32_t k, const std::function<bool(std::uint32_t)>& comparable) const;
  std::string PathOf(std::uint32_t entry) const;
  // Digests the entries of the group ending at newest that were never read, oldest first, so
  // that those never read stay the newest of their group even after a stop.
  void DigestUnread(std::uint32_t newest, StopLatch& going);
  // The nearest candidate with this digest, but skipped, whose bytes equal k's.
  std::optional<std::uint32_t> Confirm(const ContentDigest& digest, std::uint32_t skipped, std::int32_t k,
                                       const std::function<bool(std::uint32_t)>& comparable, StopLatch& going) const;

  const Catalogue& catalogue_;
  std::vector<Entry> entries_;
  // Probe and size, hashed together, to the newest entry of that group.
  std::unordered_map<std::uint64_t, std::uint32_t> newestOfGroup_;
  std::unordered_map<ContentDigest, std::vector<std::uint32_t>, DigestHash> byDigest_;  // entries, ascending
  // The digest of the picture under analysis, when Find read it, for its Add.
  std::optional<std::pair<std::int32_t, ContentDigest>> current_;
};

}  // namespace tessimar
