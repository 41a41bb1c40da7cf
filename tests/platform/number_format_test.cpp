#include "platform/number_format.h"

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

}  // namespace
}  // namespace tessimar
