// Changes a test makes to an SQLite database behind the back of the code under test.
#pragma once

#include <string>
#include <vector>

namespace tessimar::testing {

// Runs the statements in sql on the database, with blobs bound to ?1, ?2 ... of each in
// turn; a statement that fails fails the test.
void ExecuteSql(const std::string& database, const std::string& sql, const std::vector<std::string>& blobs = {});

}  // namespace tessimar::testing
