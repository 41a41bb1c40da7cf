#include "cache/sqlite_picture_cache.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <utility>

#include "cache/cache_schema.h"
#include "cache/possible_analysis.h"
#include "cache/stored_analysis.h"
#include "platform/path_text.h"

namespace tessimar {
namespace {

// Marks the database as this program's, so that another program's is never changed.
constexpr std::int64_t ApplicationId = 0x54534D52;
// Long enough for another scan to finish a batch of writes.
constexpr int BusyMs = 5000;
// Entries written in one transaction: a killed scan loses at most this many.
constexpr std::size_t BatchSize = 200;

constexpr const char* FindEntry =
    "SELECT device, inode, size, modified_ns, changed_ns, analysed, height, width, probe, positive, negative"
    " FROM pictures WHERE folder = ?1 AND name = ?2 AND min_width = ?3 AND min_height = ?4 AND identical_only = ?5";

constexpr const char* StoreEntry = "INSERT OR REPLACE INTO pictures VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, "
                                   "?11, ?12, ?13, ?14, ?15, ?16)";

bool Unreadable(const SqliteError& error) {
  return error.Code() == SQLITE_NOTADB || error.Code() == SQLITE_CORRUPT;
}

// SQLite would open a FIFO or a device as well, and block or write into it: the database
// and the two files it keeps beside it must each be a regular file or missing.
void RefuseOtherThanRegularFiles(const std::string& path) {
  for (const std::string& file : {path, path + "-wal", path + "-shm"}) {
    struct stat status {};
    if (::stat(file.c_str(), &status) == 0) {
      if (!S_ISREG(status.st_mode)) throw CacheError(file + ": not a regular file");
    } else if (errno != ENOENT) {
      throw CacheError(file + ": " + std::strerror(errno));
    }
  }
}

// Keeps the bytes of a damaged file for whoever wants them, out of the new cache's way.
// Says what became of it.
std::string MoveAside(const std::string& path) {
  const std::string aside = path + ".unusable";
  if (std::rename(path.c_str(), aside.c_str()) != 0) return std::string("not moved aside: ") + std::strerror(errno);
  for (const char* suffix : {"-wal", "-shm", "-journal"}) ::unlink((path + suffix).c_str());
  return "moved to " + aside + ", a new cache follows";
}

// Makes an empty file into this version's cache and empties an earlier version's; refuses
// any other program's database before changing anything in it, and takes a file that holds
// anything besides the cache's own table for a damaged one.
void Prepare(SqliteDatabase& db) {
  db.Execute("BEGIN IMMEDIATE");
  try {
    if (db.QueryInteger("SELECT count(*) FROM sqlite_schema") == 0) {
      CreateCacheTable(db);
    } else if (db.QueryInteger("PRAGMA application_id") != ApplicationId) {
      throw CacheError("a database of another program, left as it is");
    } else if (!HoldsOnlyTheCacheTable(db)) {
      throw SqliteError(SQLITE_CORRUPT, "holds more or other than the cache's table");
    } else if (db.QueryInteger("PRAGMA user_version") != AnalysisVersion) {
      db.Execute("DELETE FROM pictures");
    }
    db.Execute(("PRAGMA application_id = " + std::to_string(ApplicationId) + "; PRAGMA user_version = " +
                std::to_string(AnalysisVersion))
                   .c_str());
    db.Execute("COMMIT");
  } catch (...) {
    sqlite3_exec(db.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
  // Readers and one writer at a time, none waiting for the others' reads.
  db.Execute("PRAGMA journal_mode = WAL");
  db.Execute("PRAGMA synchronous = NORMAL");
}

// The columns of FindEntry: the stamp's five, the analysed flag, height and width are
// integers, and the probe and the two signature lists blobs, as Insert writes them.
constexpr int IntegerColumns = 8;
constexpr int Columns = 11;

bool StoredTypes(const SqliteStatement& entry) {
  for (int column = 0; column < Columns; ++column)
    if (entry.Type(column) != (column < IntegerColumns ? SQLITE_INTEGER : SQLITE_BLOB)) return false;
  return true;
}

// The analysis in the entry's columns as Insert writes it; nothing for values it never
// writes (a flag other than 0 or 1, a size beyond 32 bits, a blob that no analysis gives).
std::optional<PictureAnalysis> StoredAnalysis(const SqliteStatement& entry) {
  const std::int64_t analysed = entry.Integer(5), height = entry.Integer(6), width = entry.Integer(7);
  if ((analysed != 0 && analysed != 1) || !std::in_range<std::int32_t>(height) || !std::in_range<std::int32_t>(width))
    return std::nullopt;
  PictureAnalysis analysis;
  analysis.Analysed = analysed == 1;
  analysis.Height = static_cast<std::int32_t>(height);
  analysis.Width = static_cast<std::int32_t>(width);
  const std::string_view probe = entry.Blob(8);
  // A file passed over has no probe; Insert writes it as an empty blob.
  if (!(analysis.Analysed ? ReadProbe(probe, analysis.PreBuffer) : probe.empty()) ||
      !ReadPositions(entry.Blob(9), analysis.WaveletCoefsPos) ||
      !ReadPositions(entry.Blob(10), analysis.WaveletCoefsNeg))
    return std::nullopt;
  return analysis;
}

}  // namespace

SqlitePictureCache::SqlitePictureCache(const std::string& path) : path_(path) {
  RefuseOtherThanRegularFiles(path);
  try {
    db_ = std::make_unique<SqliteDatabase>(path, BusyMs);
    Prepare(*db_);
    find_ = std::make_unique<SqliteStatement>(*db_, FindEntry);
    store_ = std::make_unique<SqliteStatement>(*db_, StoreEntry);
  } catch (const CacheError& error) {
    throw CacheError(path + ": " + error.what());
  } catch (const SqliteError& error) {
    find_.reset();
    store_.reset();
    db_.reset();
    if (!Unreadable(error)) throw CacheError(path + ": " + error.what());
    throw CacheError(path + ": " + error.what() + "; " + MoveAside(path));
  }
}

SqlitePictureCache::~SqlitePictureCache() {
  Flush();
  find_.reset();
  store_.reset();
  db_.reset();
  if (corrupt_) MoveAside(path_);
}

std::optional<PictureAnalysis> SqlitePictureCache::Find(const std::string& path, const FileStamp& stamp,
                                                        const AnalysisKey& key) {
  if (corrupt_) return std::nullopt;
  std::optional<PictureAnalysis> found;
  try {
    found = Lookup(path, stamp, key);
  } catch (const SqliteError& error) {
    Failed(error);
  }
  // A statement left open would hold a read snapshot and keep the writes of others out of sight.
  find_->Reset();
  if (found) ++hits_;
  return found;
}

std::optional<PictureAnalysis> SqlitePictureCache::Lookup(const std::string& path, const FileStamp& stamp,
                                                          const AnalysisKey& key) {
  const auto [folder, name] = SplitPath(path);
  find_->Bind(1, folder).Bind(2, name).Bind(3, key.MinPicWidth).Bind(4, key.MinPicHeight);
  find_->Bind(5, std::int64_t{key.SearchOnlyIdentical});
  if (!find_->Step() || !StoredTypes(*find_)) return std::nullopt;
  const FileStamp stored{static_cast<std::uint64_t>(find_->Integer(0)), static_cast<std::uint64_t>(find_->Integer(1)),
                         find_->Integer(2), find_->Integer(3), find_->Integer(4)};
  if (stored != stamp) return std::nullopt;
  std::optional<PictureAnalysis> analysis = StoredAnalysis(*find_);
  if (!analysis || !PossibleAnalysis(*analysis, key)) return std::nullopt;
  return analysis;
}

void SqlitePictureCache::Store(const std::string& path, const FileStamp& stamp, const AnalysisKey& key,
                               const PictureAnalysis& analysis) {
  if (corrupt_) return;
  pending_.push_back({path, stamp, key, analysis});
  if (pending_.size() >= BatchSize) Flush();
}

void SqlitePictureCache::Flush() {
  if (pending_.empty()) return;
  InTransaction([this] {
    for (const Entry& entry : pending_) Insert(entry);
  });
  pending_.clear();  // written, or dropped: a later scan analyses those files again
}

void SqlitePictureCache::Insert(const Entry& entry) {
  const auto [folder, name] = SplitPath(entry.Path);
  const PictureAnalysis& analysis = entry.Analysis;
  store_->Reset();
  store_->Bind(1, folder).Bind(2, name).Bind(3, entry.Key.MinPicWidth).Bind(4, entry.Key.MinPicHeight);
  store_->Bind(5, std::int64_t{entry.Key.SearchOnlyIdentical});
  store_->Bind(6, static_cast<std::int64_t>(entry.Stamp.Device)).Bind(7, static_cast<std::int64_t>(entry.Stamp.Inode));
  store_->Bind(8, entry.Stamp.Size).Bind(9, entry.Stamp.ModifiedNs).Bind(10, entry.Stamp.ChangedNs);
  store_->Bind(11, std::int64_t{analysis.Analysed}).Bind(12, analysis.Height).Bind(13, analysis.Width);
  store_->Bind(14, analysis.Analysed ? ProbeBlob(analysis.PreBuffer) : std::string());
  store_->Bind(15, PositionsBlob(analysis.WaveletCoefsPos)).Bind(16, PositionsBlob(analysis.WaveletCoefsNeg));
  store_->Step();
  store_->Reset();
}

void SqlitePictureCache::Prune(const std::string& folder, bool subfolders,
                               const std::unordered_set<std::string>& kept) {
  Flush();
  if (corrupt_) return;
  std::vector<std::string> gone;
  try {
    // Folders end in '/', so those below folder sort before folder with '0', the next byte, in place of its '/'.
    SqliteStatement select(*db_, subfolders ? "SELECT folder, name FROM pictures WHERE folder >= ?1 AND folder < ?2"
                                            : "SELECT folder, name FROM pictures WHERE folder = ?1");
    select.Bind(1, folder);
    if (subfolders) select.Bind(2, folder.substr(0, folder.size() - 1) + '0');
    while (select.Step()) {
      std::string path = std::string(select.Blob(0)).append(select.Blob(1));
      if (!kept.contains(path)) gone.push_back(std::move(path));
    }
  } catch (const SqliteError& error) {
    Failed(error);
    return;
  }
  if (!gone.empty()) Forget(gone);
}

void SqlitePictureCache::Forget(const std::vector<std::string>& paths) {
  InTransaction([&] {
    SqliteStatement remove(*db_, "DELETE FROM pictures WHERE folder = ?1 AND name = ?2");
    for (const std::string& path : paths) {
      const auto [folder, name] = SplitPath(path);
      remove.Bind(1, folder).Bind(2, name).Step();
      remove.Reset();
    }
  });
}

// Runs work in one write transaction; a failure drops the whole transaction, never the scan.
void SqlitePictureCache::InTransaction(const std::function<void()>& work) {
  try {
    db_->Execute("BEGIN IMMEDIATE");
    try {
      work();
      db_->Execute("COMMIT");
    } catch (const SqliteError&) {
      sqlite3_exec(db_->Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
      throw;
    }
  } catch (const SqliteError& error) {
    Failed(error);
  }
}

void SqlitePictureCache::Failed(const SqliteError& error) {
  if (Unreadable(error)) corrupt_ = true;
}

}  // namespace tessimar
