// Numbers as the user interface writes them.
#pragma once

#include <string>
#include <string_view>

namespace tessimar {

// value rounded to a whole number (halves away from zero), digits grouped by three with
// groupSeparator between the groups: the "#,##0" pattern.
std::string FormatGrouped(double value, std::string_view groupSeparator);

}  // namespace tessimar
