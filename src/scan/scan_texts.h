// The texts a scan shows: progress and summary captions, elapsed time, closing message.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tessimar {

inline constexpr std::string_view NoFoldersMessage = "请添加一个或多个目录再进行扫描查找。";
inline constexpr std::string_view NoTypesMessage = "Please, choose one or more file types in Settings menu.";

inline constexpr std::string_view FilesCountPrefix = "              扫描到的图片总数: ";
inline constexpr std::string_view TimePrefix = "        已用时间: ";
inline constexpr std::string_view ScannedCountPrefix = "      扫描到文件总数: ";
inline constexpr std::string_view DuplicatesFoundPrefix = "         发现重复图片有: ";

// The message texts break lines with a line feed followed by a carriage return.
inline constexpr std::string_view MessageLineBreak = "\n\r";

// "hh:mm:ss" of a millisecond count; hours above 99 keep their last two digits.
std::string ElapsedText(std::uint32_t ms);

// The information shown when a scan ends, from the progress captions as they stand.
std::string ClosingMessage(bool stopped, std::string_view filesCount, std::string_view currentDuplicates,
                           std::string_view time);

}  // namespace tessimar
