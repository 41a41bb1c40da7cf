#include "platform/text_compare.h"

#include <gtest/gtest.h>

namespace tessimar {
namespace {

TEST(MatchesMaskTest, PictureMasks) {
  struct Case {
    const char* name;
    const char* mask;
    bool matches;
  };
  const Case cases[] = {
      {"a.jpg", "*.jp*g", true},       {"a.JPEG", "*.jp*g", true},     {"a.jpg.txt", "*.jp*g", false},
      {".jpg", "*.jp*g", true},        {"a.jpgx", "*.jp*g", false},    {"a.jpeg.png", "*.jp*g", true},
      {"a.jpeg.png", "*.png", true},   {"a.tiff", "*.tif*", true},     {"a.TIF", "*.tif*", true},
      {"a.tif.bak", "*.tif*", true},   {"a.bmp", "*.bmp", true},       {"bmp", "*.bmp", false},
      {"IMG_1.Cr2", "*.cr2", true},    {"x.jpg.jpg", "*.jp*g", true},  {"a.gif", "*.gif", true},
      {"sub", "*.*", false},           {"sub.d", "*.*", true},         {"ä.PNG", "*.png", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " ~ " + c.mask);
    EXPECT_EQ(MatchesMask(c.name, c.mask), c.matches);
  }
}

TEST(CompareTextNoCaseTest, FoldsAsciiLettersOnly) {
  EXPECT_EQ(CompareTextNoCase("Photos", "PHOTOS"), 0);
  EXPECT_LT(CompareTextNoCase("apple", "Banana"), 0);
  EXPECT_LT(CompareTextNoCase("a", "ab"), 0);
  // '_' (0x5F) sorts after the upper-cased letters, so before nothing alphabetic.
  EXPECT_GT(CompareTextNoCase("_x", "zed"), 0);
  EXPECT_NE(CompareTextNoCase("ä", "Ä"), 0);
  EXPECT_EQ(UpperAscii("abc-é"), "ABC-é");
}

}  // namespace
}  // namespace tessimar
