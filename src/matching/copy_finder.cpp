#include "matching/copy_finder.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "analysis/file_probe.h"
#include "matching/stop_latch.h"

namespace tessimar {
namespace {

const TPicInfo& At(const Catalogue& catalogue, std::int32_t index) {
  return catalogue.PicList[static_cast<std::size_t>(index)];
}

// Probe and size as the walk found them; two groups that share a key only make more candidates.
std::uint64_t GroupKey(const TPicInfo& picture) {
  const std::string_view probe(reinterpret_cast<const char*>(picture.PreBuffer.data()), picture.PreBuffer.size());
  return std::hash<std::string_view>{}(probe) ^ (static_cast<std::uint64_t>(picture.Size) * 0x9E3779B97F4A7C15ULL);
}

}  // namespace

std::size_t CopyFinder::DigestHash::operator()(const ContentDigest& digest) const {
  std::size_t hash = 0;
  std::memcpy(&hash, digest.data(), sizeof hash);
  return hash;
}

void CopyFinder::Add(std::int32_t index) {
  const auto entry = static_cast<std::uint32_t>(entries_.size());
  const auto [group, first] = newestOfGroup_.try_emplace(GroupKey(At(catalogue_, index)), entry);
  Entry added{.Index = index, .Previous = first ? NoEntry : group->second};
  group->second = entry;
  if (current_ && current_->first == index) {
    added.State = Content::Digested;
    byDigest_[current_->second].push_back(entry);
  }
  entries_.push_back(added);
  current_.reset();
}

bool CopyFinder::Candidate(std::uint32_t entry, std::int32_t k,
                           const std::function<bool(std::uint32_t)>& comparable) const {
  const TPicInfo& earlier = At(catalogue_, entries_[entry].Index);
  const TPicInfo& picture = At(catalogue_, k);
  return comparable(entry) && earlier.Size == picture.Size && earlier.PreBuffer == picture.PreBuffer;
}

std::string CopyFinder::PathOf(std::uint32_t entry) const { return catalogue_.FullPath(entries_[entry].Index); }

std::optional<std::uint32_t> CopyFinder::Find(std::int32_t k, const std::function<bool(std::uint32_t)>& comparable,
                                              const std::function<bool()>& goOn) {
  current_.reset();
  const auto group = newestOfGroup_.find(GroupKey(At(catalogue_, k)));
  if (group == newestOfGroup_.end()) return std::nullopt;
  std::uint32_t nearest = group->second;
  while (nearest != NoEntry && !Candidate(nearest, k, comparable)) nearest = entries_[nearest].Previous;
  if (nearest == NoEntry) return std::nullopt;

  StopLatch going(goOn);
  const std::string path = catalogue_.FullPath(k);
  std::uint32_t compared = NoEntry;
  if (entries_[nearest].State == Content::NotRead) {
    if (FilesEqual(path, PathOf(nearest), std::ref(going))) return nearest;
    if (going.Stopped() || entries_[nearest].Previous == NoEntry) return std::nullopt;
    compared = nearest;
  }
  const auto digest = DigestOfFile(path, std::ref(going));
  if (!digest) return std::nullopt;
  current_.emplace(k, *digest);
  DigestUnread(group->second, going);
  if (going.Stopped()) return std::nullopt;
  return Confirm(*digest, compared, k, comparable, going);
}

void CopyFinder::DigestUnread(std::uint32_t newest, StopLatch& going) {
  std::vector<std::uint32_t> unread;
  for (std::uint32_t entry = newest; entry != NoEntry && entries_[entry].State == Content::NotRead;
       entry = entries_[entry].Previous)
    unread.push_back(entry);
  for (auto entry = unread.rbegin(); entry != unread.rend(); ++entry) {
    const auto digest = DigestOfFile(PathOf(*entry), std::ref(going));
    if (going.Stopped()) return;
    entries_[*entry].State = digest ? Content::Digested : Content::Unreadable;
    if (!digest) continue;
    // Mostly an append; a file changed since the walk may share a digest with another group.
    std::vector<std::uint32_t>& same = byDigest_[*digest];
    same.insert(std::upper_bound(same.begin(), same.end(), *entry), *entry);
  }
}

std::optional<std::uint32_t> CopyFinder::Confirm(const ContentDigest& digest, std::uint32_t skipped, std::int32_t k,
                                                 const std::function<bool(std::uint32_t)>& comparable,
                                                 StopLatch& going) const {
  const auto found = byDigest_.find(digest);
  if (found == byDigest_.end()) return std::nullopt;
  const std::string path = catalogue_.FullPath(k);
  for (auto entry = found->second.rbegin(); entry != found->second.rend(); ++entry) {
    if (*entry == skipped || !Candidate(*entry, k, comparable)) continue;
    if (FilesEqual(path, PathOf(*entry), std::ref(going))) return *entry;
    if (going.Stopped()) return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace tessimar
