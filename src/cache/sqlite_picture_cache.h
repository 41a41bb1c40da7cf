// The picture cache in an SQLite database file, which programs scanning at once share.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/picture_cache.h"
#include "cache/sqlite_database.h"

namespace tessimar {

// Why a cache could not be opened, in one line.
class CacheError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class SqlitePictureCache final : public PictureCache {
 public:
  // Opens the cache at path, creating it when missing and emptying one written under
  // another AnalysisVersion. Throws CacheError when path cannot hold it: not a regular
  // file, a database of another program, or a file SQLite reads as no database or a
  // corrupt one, or one of this program's holding more or other than the cache's table;
  // those last are moved aside so that the next scan starts a new cache.
  explicit SqlitePictureCache(const std::string& path);
  ~SqlitePictureCache() override;

  // An entry with values no analysis under key gives is a miss (PossibleAnalysis).
  std::optional<PictureAnalysis> Find(const std::string& path, const FileStamp& stamp, const AnalysisKey& key) override;
  void Store(const std::string& path, const FileStamp& stamp, const AnalysisKey& key,
             const PictureAnalysis& analysis) override;
  void Prune(const std::string& folder, bool subfolders, const std::unordered_set<std::string>& kept) override;
  void Flush() override;

  // Lookups answered from the cache so far.
  std::int64_t Hits() const { return hits_; }

 private:
  struct Entry {
    std::string Path;
    FileStamp Stamp;
    AnalysisKey Key;
    PictureAnalysis Analysis;
  };

  std::optional<PictureAnalysis> Lookup(const std::string& path, const FileStamp& stamp, const AnalysisKey& key);
  void Insert(const Entry& entry);
  void Forget(const std::vector<std::string>& paths);
  void InTransaction(const std::function<void()>& work);
  void Failed(const SqliteError& error);

  std::string path_;
  std::unique_ptr<SqliteDatabase> db_;
  std::unique_ptr<SqliteStatement> find_;
  std::unique_ptr<SqliteStatement> store_;
  std::vector<Entry> pending_;
  std::int64_t hits_ = 0;
  bool corrupt_ = false;  // found damaged while in use: not read again, moved aside on closing
};

}  // namespace tessimar
