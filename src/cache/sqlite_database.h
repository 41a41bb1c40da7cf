// A small C++ boundary around SQLite: an open database and its prepared statements,
// with every failure raised as SqliteError.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tessimar {

class SqliteError : public std::runtime_error {
 public:
  SqliteError(int code, const std::string& what) : std::runtime_error(what), code_(code) {}
  // The primary result code: SQLITE_NOTADB, SQLITE_CORRUPT, SQLITE_BUSY ...
  int Code() const { return code_ & 0xff; }

 private:
  int code_;
};

class SqliteDatabase {
 public:
  // Opens path for reading and writing, creating it when missing; waits up to busyMs for
  // another process's lock before a statement gives up. Defensively: no trigger or view of
  // the file runs, its schema is not trusted, and no statement can corrupt the file.
  SqliteDatabase(const std::string& path, int busyMs);
  SqliteDatabase(const SqliteDatabase&) = delete;
  SqliteDatabase& operator=(const SqliteDatabase&) = delete;
  ~SqliteDatabase();

  void Execute(const char* sql);
  std::int64_t QueryInteger(const char* sql);
  sqlite3* Handle() const { return db_; }
  // Raises the database's last error when result is not OK, ROW or DONE.
  void Check(int result) const;

 private:
  sqlite3* db_ = nullptr;
};

class SqliteStatement {
 public:
  SqliteStatement(const SqliteDatabase& db, const char* sql);
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;
  ~SqliteStatement();

  // Parameters count from 1. A blob is bound as a blob, so that byte strings compare
  // byte for byte whatever they hold.
  SqliteStatement& Bind(int index, std::int64_t value);
  SqliteStatement& Bind(int index, std::string_view blob);
  // True while a row is there to read; false once the statement is done.
  bool Step();
  // Ready to run again, parameters cleared.
  void Reset();

  // Columns count from 0. Type is SQLITE_INTEGER, SQLITE_BLOB, SQLITE_NULL ... as stored.
  int Type(int column) const;
  std::int64_t Integer(int column) const;
  std::string_view Blob(int column) const;

 private:
  const SqliteDatabase& db_;
  sqlite3_stmt* statement_ = nullptr;
};

}  // namespace tessimar
