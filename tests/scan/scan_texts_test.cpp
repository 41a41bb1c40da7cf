#include "scan/scan_texts.h"

#include <gtest/gtest.h>

namespace tessimar {
namespace {

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
