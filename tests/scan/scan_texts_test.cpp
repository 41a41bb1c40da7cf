#include "scan/scan_texts.h"

#include <gtest/gtest.h>

namespace tessimar {
namespace {

// The scan's captions and messages to the character, as the user reads them: the other tests
// compare with these constants, so a slip in one would pass them unseen.
TEST(ScanTextsTest, EachTextReadsAsWritten) {
  struct Row {
    const char* name;
    std::string_view text;
    std::string_view expected;
  };
  const Row rows[] = {
      {"NoFoldersMessage", NoFoldersMessage, "请添加一个或多个目录再进行扫描查找。"},
      {"NoTypesMessage", NoTypesMessage, "Please, choose one or more file types in Settings menu."},
      {"FilesCountPrefix", FilesCountPrefix, "              扫描到的图片总数: "},
      {"TimePrefix", TimePrefix, "        已用时间: "},
      {"ScannedCountPrefix", ScannedCountPrefix, "      扫描到文件总数: "},
      {"DuplicatesFoundPrefix", DuplicatesFoundPrefix, "         发现重复图片有: "},
      {"MessageLineBreak", MessageLineBreak, "\n\r"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.text, row.expected);
  }
}

TEST(ElapsedTextTest, HoursMinutesSeconds) {
  struct Case {
    std::uint32_t ms;
    const char* text;
  };
  const Case cases[] = {
      {0, "00:00:00"},           {999, "00:00:00"},         {1000, "00:00:01"},
      {3723000, "01:02:03"},     {359999000, "99:59:59"},   {360000000, "00:00:00"},
      {UINT32_MAX, "93:02:47"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ms);
    EXPECT_EQ(ElapsedText(c.ms), c.text);
  }
}

TEST(ClosingMessageTest, FinishedAndStopped) {
  EXPECT_EQ(ClosingMessage(false, "F", "D", "T"), "扫描查找完毕\n\r\n\rF\n\rD\n\rT\n\r");
  EXPECT_EQ(ClosingMessage(true, "F", "D", "T"), "扫描查找被中断！\n\r\n\rF\n\rD\n\rT\n\r");
}

}  // namespace
}  // namespace tessimar
