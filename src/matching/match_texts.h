// The progress captions the matching pass writes.
#pragma once

#include <string_view>

namespace tessimar {

// The matching pass counts with a full-width colon, the walk with a plain one.
inline constexpr std::string_view MatchProgressPrefix = "              扫描到的图片总数： ";
inline constexpr std::string_view CurrentDuplicatesPrefix = "               找到的相似图片: ";

}  // namespace tessimar
