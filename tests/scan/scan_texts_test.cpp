#include "scan/scan_texts.h"

#include <gtest/gtest.h>

namespace tessimar {
namespace {

TEST(FormatGroupedTest, GroupsByThreeWithTheLocaleSeparator) {
  struct Case {
    double value;
    const char* separator;
    const char* text;
  };
  const Case cases[] = {
      {0, ",", "0"},         {999, ",", "999"},           {1000, ",", "1,000"},         {1234, ",", "1,234"},
      {1234, ".", "1.234"},  {1234567, ".", "1.234.567"}, {123456, ",", "123,456"},     {99.5, ",", "100"},
      {62.4, ",", "62"},     {-1, ",", "-1"},             {1234, "\u00a0", "1\u00a0234"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(FormatGrouped(c.value, c.separator), c.text);
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
