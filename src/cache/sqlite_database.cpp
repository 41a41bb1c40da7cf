#include "cache/sqlite_database.h"

#include <utility>

namespace tessimar {
namespace {

// A database file is data, not code: nothing its schema holds may run or rewrite it.
constexpr std::pair<int, int> DefensiveOptions[] = {
    {SQLITE_DBCONFIG_DEFENSIVE, 1},
    {SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0},
    {SQLITE_DBCONFIG_ENABLE_TRIGGER, 0},
    {SQLITE_DBCONFIG_ENABLE_VIEW, 0},
};

}  // namespace

SqliteDatabase::SqliteDatabase(const std::string& path, int busyMs) {
  int result = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  for (const auto& [option, value] : DefensiveOptions)
    if (result == SQLITE_OK) result = sqlite3_db_config(db_, option, value, static_cast<int*>(nullptr));
  if (result != SQLITE_OK) {
    const std::string message = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(result);
    sqlite3_close(db_);
    throw SqliteError(result, message);
  }
  sqlite3_busy_timeout(db_, busyMs);
}

SqliteDatabase::~SqliteDatabase() { sqlite3_close_v2(db_); }

void SqliteDatabase::Check(int result) const {
  if (result != SQLITE_OK && result != SQLITE_ROW && result != SQLITE_DONE)
    throw SqliteError(sqlite3_extended_errcode(db_), sqlite3_errmsg(db_));
}

void SqliteDatabase::Execute(const char* sql) { Check(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr)); }

std::int64_t SqliteDatabase::QueryInteger(const char* sql) {
  SqliteStatement statement(*this, sql);
  return statement.Step() ? statement.Integer(0) : 0;
}

SqliteStatement::SqliteStatement(const SqliteDatabase& db, const char* sql) : db_(db) {
  db_.Check(sqlite3_prepare_v2(db_.Handle(), sql, -1, &statement_, nullptr));
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(statement_); }

SqliteStatement& SqliteStatement::Bind(int index, std::int64_t value) {
  db_.Check(sqlite3_bind_int64(statement_, index, value));
  return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, std::string_view blob) {
  // An empty blob is bound as a zero-length blob, never as NULL.
  static const char empty = 0;
  db_.Check(sqlite3_bind_blob64(statement_, index, blob.empty() ? &empty : blob.data(), blob.size(),
                                SQLITE_TRANSIENT));
  return *this;
}

bool SqliteStatement::Step() {
  const int result = sqlite3_step(statement_);
  if (result == SQLITE_ROW) return true;
  if (result == SQLITE_DONE) return false;
  const int code = sqlite3_extended_errcode(db_.Handle());
  const std::string message = sqlite3_errmsg(db_.Handle());
  sqlite3_reset(statement_);
  throw SqliteError(code, message);
}

void SqliteStatement::Reset() {
  sqlite3_reset(statement_);
  sqlite3_clear_bindings(statement_);
}

int SqliteStatement::Type(int column) const { return sqlite3_column_type(statement_, column); }

std::int64_t SqliteStatement::Integer(int column) const { return sqlite3_column_int64(statement_, column); }

std::string_view SqliteStatement::Blob(int column) const {
  const void* data = sqlite3_column_blob(statement_, column);
  const int size = sqlite3_column_bytes(statement_, column);
  return data == nullptr ? std::string_view() : std::string_view(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

}  // namespace tessimar
