#include "analysis/signature/bitmap_mean.h"

#include <gtest/gtest.h>

#include <functional>

#include "test_bitmaps.h"

namespace tessimar {
namespace {

using testing::GrayBitmap;

TEST(BitmapMean, DividesTheSumByThePixelCountTruncating) {
  struct Case {
    const char* name;
    std::function<int(int, int)> level;
    std::int32_t mean;
  };
  const Case cases[] = {
      {"all 0", [](int, int) { return 0; }, 0},
      {"all 255", [](int, int) { return 255; }, 255},
      {"left half 0, right half 255", [](int, int c) { return c < 64 ? 0 : 255; }, 127},
      {"one pixel short of 1", [](int r, int c) { return r == 0 && c == 0 ? 0 : 1; }, 0},
      {"rows rising 0 to 127", [](int r, int) { return r; }, 63},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(BitmapMean(GrayBitmap(c.level)), c.mean);
  }
}

}  // namespace
}  // namespace tessimar
