#include "review/csv_export.h"

#include <gtest/gtest.h>

#include <sstream>

#include "catalogue_of.h"

namespace tessimar {
namespace {

Catalogue WithPairs(const std::vector<TPicturePair>& pairs) {
  return testing::CatalogueOf(
      {"/photos/a.jpg", "/photos/b;c.png", "/photos/照片.jpg", "/backup/a.jpg", "/f\xEAtes/\xE6\x97.jpg"}, pairs);
}

std::string Csv(const Catalogue& catalogue) {
  std::ostringstream out;
  WritePairsCsv(out, catalogue, ",");
  return out.str();
}

TEST(CsvExportTest, HeaderThenTwoLinesAPairToTheByte) {
  Catalogue catalogue = WithPairs({{0, 3, 100}, {1, 2, 56.4}, {0, 2, 99.5}});
  EXPECT_EQ(Csv(catalogue),
            "\xEF\xBB\xBFGroup Num;Picture Filename;Similarity;\r\n"
            "1;/photos/a.jpg;100;\r\n"
            "1;/backup/a.jpg;100;\r\n"
            "2;/photos/b;c.png;56;\r\n"
            "2;/photos/照片.jpg;56;\r\n"
            "3;/photos/a.jpg;100;\r\n"
            "3;/photos/照片.jpg;100;\r\n");
}

TEST(CsvExportTest, FollowsTheListAsItStandsNow) {
  Catalogue catalogue = WithPairs({{0, 3, 100}, {1, 2, 1}, {0, 1, 20}});
  catalogue.SwapPairSides(1);
  catalogue.RemovePicturePairs(3);
  EXPECT_EQ(Csv(catalogue),
            "\xEF\xBB\xBFGroup Num;Picture Filename;Similarity;\r\n"
            "1;/photos/照片.jpg;1;\r\n"
            "1;/photos/b;c.png;1;\r\n"
            "2;/photos/a.jpg;20;\r\n"
            "2;/photos/b;c.png;20;\r\n");
}

TEST(CsvExportTest, PathBytesThatAreNotUtf8BecomeReplacementCharacters) {
  // A Latin-1 folder name, and a file name holding a cut-off three-byte sequence.
  EXPECT_EQ(Csv(WithPairs({{4, 0, 97}})),
            "\xEF\xBB\xBFGroup Num;Picture Filename;Similarity;\r\n"
            "1;/f\xEF\xBF\xBDtes/\xEF\xBF\xBD\xEF\xBF\xBD.jpg;97;\r\n"
            "1;/photos/a.jpg;97;\r\n");
}

TEST(CsvExportTest, NoPairsGiveTheHeaderOnly) {
  EXPECT_EQ(Csv(WithPairs({})), "\xEF\xBB\xBFGroup Num;Picture Filename;Similarity;\r\n");
}

}  // namespace
}  // namespace tessimar
