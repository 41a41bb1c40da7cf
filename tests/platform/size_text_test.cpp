#include "platform/size_text.h"

#include <gtest/gtest.h>

namespace tessimar {
namespace {

TEST(SizeTextTest, EachRangeHasItsUnitAndDecimals) {
  struct Case {
    std::int64_t bytes;
    const char* text;
  };
  const Case cases[] = {
      {0, "0 B"},
      {1023, "1023 B"},
      {1024, "1 KB"},
      {1536, "2 KB"},  // 1.5: a half rounds to even
      {2560, "2 KB"},  // 2.5 as well
      {2561, "3 KB"},
      {17364, "17 KB"},
      {1048575, "1024 KB"},
      {1048576, "1.00 MB"},
      {2516582, "2.40 MB"},
      {1073741823, "1024.00 MB"},
      {1073741824, "1.000 GB"},
      {1610612736, "1.500 GB"},
      {5497558138880, "5120.000 GB"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(SizeText(c.bytes), c.text);
  }
}

}  // namespace
}  // namespace tessimar
