// A picture cache that several threads may share: each call holds a lock around the
// cache it wraps, which, like SqlitePictureCache and its single connection, serves one
// call at a time.
#pragma once

#include <mutex>

#include "analysis/picture_cache.h"

namespace tessimar {

class SynchronizedPictureCache final : public PictureCache {
 public:
  // inner: used only through this wrapper while the wrapper is in use, and outliving it.
  explicit SynchronizedPictureCache(PictureCache& inner) : inner_(inner) {}

  std::optional<PictureAnalysis> Find(const std::string& path, const FileStamp& stamp, const AnalysisKey& key) override {
    const std::lock_guard lock(mutex_);
    return inner_.Find(path, stamp, key);
  }
  void Store(const std::string& path, const FileStamp& stamp, const AnalysisKey& key,
             const PictureAnalysis& analysis) override {
    const std::lock_guard lock(mutex_);
    inner_.Store(path, stamp, key, analysis);
  }
  void Prune(const std::string& folder, bool subfolders, const std::unordered_set<std::string>& kept) override {
    const std::lock_guard lock(mutex_);
    inner_.Prune(folder, subfolders, kept);
  }
  void Flush() override {
    const std::lock_guard lock(mutex_);
    inner_.Flush();
  }

 private:
  PictureCache& inner_;
  std::mutex mutex_;
};

}  // namespace tessimar
