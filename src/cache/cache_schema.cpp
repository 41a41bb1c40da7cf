#include "cache/cache_schema.h"

#include <string>
#include <tuple>
#include <vector>

namespace tessimar {
namespace {

// Written as the first versions wrote it: SQLite keeps the text, which the comparison reads.
constexpr const char* CreateTable =
    "CREATE TABLE IF NOT EXISTS pictures("
    " folder BLOB NOT NULL, name BLOB NOT NULL,"
    " min_width INTEGER NOT NULL, min_height INTEGER NOT NULL, identical_only INTEGER NOT NULL,"
    " device INTEGER NOT NULL, inode INTEGER NOT NULL, size INTEGER NOT NULL,"
    " modified_ns INTEGER NOT NULL, changed_ns INTEGER NOT NULL,"
    " analysed INTEGER NOT NULL, height INTEGER NOT NULL, width INTEGER NOT NULL,"
    " probe BLOB NOT NULL, positive BLOB NOT NULL, negative BLOB NOT NULL,"
    " PRIMARY KEY(folder, name, min_width, min_height, identical_only))";

// Type, name, table and the statement that made it (none for the key's own index).
using SchemaEntry = std::tuple<std::string, std::string, std::string, std::string>;

std::vector<SchemaEntry> SchemaOf(const SqliteDatabase& db) {
  SqliteStatement select(db, "SELECT type, name, tbl_name, sql FROM sqlite_schema ORDER BY type, name");
  std::vector<SchemaEntry> entries;
  while (select.Step())
    entries.emplace_back(select.Blob(0), select.Blob(1), select.Blob(2), select.Blob(3));
  return entries;
}

// What SQLite records for the table, read from a database made only to hold it.
std::vector<SchemaEntry> ExpectedSchema() {
  SqliteDatabase reference(":memory:", 0);
  CreateCacheTable(reference);
  return SchemaOf(reference);
}

}  // namespace

void CreateCacheTable(SqliteDatabase& db) { db.Execute(CreateTable); }

bool HoldsOnlyTheCacheTable(SqliteDatabase& db) {
  static const std::vector<SchemaEntry> expected = ExpectedSchema();
  return SchemaOf(db) == expected;
}

}  // namespace tessimar
