// The matching pass's captions to the character, as the user reads them: the other tests
// compare with these constants, so a slip in one would pass them unseen.
#include "matching/match_texts.h"

#include <gtest/gtest.h>

namespace tessimar {
namespace {

TEST(MatchTextsTest, EachTextReadsAsWritten) {
  EXPECT_EQ(MatchProgressPrefix, "              扫描到的图片总数： ");
  EXPECT_EQ(CurrentDuplicatesPrefix, "               找到的相似图片: ");
}

}  // namespace
}  // namespace tessimar
