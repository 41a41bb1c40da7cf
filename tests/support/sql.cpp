#include "sql.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>

namespace tessimar::testing {

void ExecuteSql(const std::string& database, const std::string& sql, const std::vector<std::string>& blobs) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(database.c_str(), &db), SQLITE_OK);
  sqlite3_stmt* statement = nullptr;
  const char* rest = sql.c_str();
  while (*rest != '\0') {
    ASSERT_EQ(sqlite3_prepare_v2(db, rest, -1, &statement, &rest), SQLITE_OK) << sqlite3_errmsg(db);
    if (statement == nullptr) break;  // only blanks were left
    const int parameters = std::min(sqlite3_bind_parameter_count(statement), static_cast<int>(blobs.size()));
    for (int i = 0; i < parameters; ++i) {
      const std::string& blob = blobs[static_cast<std::size_t>(i)];
      sqlite3_bind_blob(statement, i + 1, blob.data(), static_cast<int>(blob.size()), SQLITE_TRANSIENT);
    }
    EXPECT_EQ(sqlite3_step(statement), SQLITE_DONE) << sqlite3_errmsg(db);
    sqlite3_finalize(statement);
  }
  sqlite3_close(db);
}

}  // namespace tessimar::testing
