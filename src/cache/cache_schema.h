// The layout of the cache database: the one table that holds the entries, and nothing else.
#pragma once

#include "cache/sqlite_database.h"

namespace tessimar {

// Makes the table in a database that holds nothing yet.
void CreateCacheTable(SqliteDatabase& db);

// Whether db holds exactly what CreateCacheTable makes: no other table, index, view or
// trigger, and that table with its very columns and key.
bool HoldsOnlyTheCacheTable(SqliteDatabase& db);

}  // namespace tessimar
