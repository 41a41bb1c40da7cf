#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tessimar {
namespace {

IniFile Parse(const std::string& text) {
  std::istringstream in(text);
  return IniFile::Parse(in);
}

std::string Save(const IniFile& file) {
  std::ostringstream out;
  file.Save(out);
  return out.str();
}

TEST(IniFileTest, ReadsSectionsAndKeysWithoutCase) {
  const IniFile file = Parse("[Other]\nKey=1\n[main]\n  minpicwidth = 250 \nQuoted=\"7\"\n");
  EXPECT_EQ(file.Read("Main", "MinPicWidth"), "250");
  EXPECT_EQ(file.Read("MAIN", "quoted"), "7");
  EXPECT_EQ(file.Read("Other", "Key"), "1");
  EXPECT_EQ(file.Read("Main", "Key"), std::nullopt);
  EXPECT_EQ(file.Read("Missing", "Key"), std::nullopt);
}

TEST(IniFileTest, WritingKeepsEverythingElseByteForByte) {
  struct Case {
    const char* name;
    const char* before;
    const char* after;
  };
  const Case cases[] = {
      {"replace", "; note\r\n[Main]\r\nA=1\r\n  B = 2 \r\n\r\n[Z]\r\nB=3\r\n",
       "; note\r\n[Main]\r\nA=1\r\nB=9\r\n\r\n[Z]\r\nB=3\r\n"},
      {"append to section", "[Main]\nA=1\n\n[Z]\nq\n", "[Main]\nA=1\nB=9\n\n[Z]\nq\n"},
      {"add section", "[Z]\nB=3", "[Z]\nB=3\n\n[Main]\nB=9\n"},
      {"empty file", "", "[Main]\nB=9\n"},
      {"last line open", "[Main]\nA=1", "[Main]\nA=1\nB=9\n"},
      {"byte-order mark", "\xEF\xBB\xBF[Main]\r\nB=1\r\n", "\xEF\xBB\xBF[Main]\r\nB=9\r\n"},
      {"byte-order mark only", "\xEF\xBB\xBF", "\xEF\xBB\xBF[Main]\nB=9\n"},
      {"CR only", "[Main]\rA=1\rB=2\r[Z]\rB=3\r", "[Main]\rA=1\rB=9\r[Z]\rB=3\r"},
      {"CR only, appended", "[Main]\rA=1\r\r[Z]\r", "[Main]\rA=1\rB=9\r\r[Z]\r"},
      {"mixed line ends", "[Main]\r\nA=1\rB=2\n", "[Main]\r\nA=1\rB=9\n"},
      {"ends in a lone CR", "[Main]\nA=1\r", "[Main]\nA=1\rB=9\n"},
      {"header last, open", "[Main]", "[Main]\nB=9\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    IniFile file = Parse(c.before);
    file.Write("Main", "B", "9");
    EXPECT_EQ(Save(file), c.after);
  }
}

TEST(IniFileTest, ErasingRemovesOnlyTheKeysLines) {
  struct Case {
    const char* name;
    const char* before;
    const char* after;
  };
  const Case cases[] = {
      {"middle", "[Main]\r\nA=1\r\nB=2\r\nC=3\r\n", "[Main]\r\nA=1\r\nC=3\r\n"},
      {"last line open", "[Main]\nA=1\nB=2", "[Main]\nA=1\n"},
      {"every line of it, without case", "[Main]\nb=1\nA=1\n B =2\n", "[Main]\nA=1\n"},
      {"other sections keep theirs", "[Z]\nB=1\n[Main]\nB=2\n\n[Y]\nB=3\n", "[Z]\nB=1\n[Main]\n\n[Y]\nB=3\n"},
      {"missing key", "[Main]\nA=1\n", "[Main]\nA=1\n"},
      {"missing section", "[Z]\nB=1\n", "[Z]\nB=1\n"},
      {"a name it begins", "[Main]\nBB=1\n", "[Main]\nBB=1\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    IniFile file = Parse(c.before);
    file.Erase("Main", "B");
    EXPECT_EQ(Save(file), c.after);
  }
}

TEST(IniFileTest, EveryLineEndSeparatesLines) {
  for (const char* text : {"\xEF\xBB\xBF[Main]\nA=1\nB=2", "[Main]\rA=1\rB=2\r", "[Main]\r\nA=1\rB=2\n",
                           "[Z]\n\r\r\n[Main]\r\rA=1\r\nB=2\r"}) {
    SCOPED_TRACE(text);
    const IniFile file = Parse(text);
    EXPECT_EQ(file.Read("Main", "A"), "1");
    EXPECT_EQ(file.Read("Main", "B"), "2");
  }
}

TEST(IniFileTest, RewritingAnUnchangedValueChangesNothing) {
  for (const char* text : {"[Main]\rA=1\r", "\xEF\xBB\xBF[Main]\r\nA=1\r\n", "x\r\n[main]\nA = 1"}) {
    SCOPED_TRACE(text);
    IniFile file = Parse(text);
    file.Write("Main", "A", "1");
    IniFile again = Parse(Save(file));
    again.Write("Main", "A", "1");
    EXPECT_EQ(Save(again), Save(file));
    EXPECT_EQ(again.Read("Main", "A"), "1");
  }
}

TEST(IniFileTest, LongRunsOfLineEndsAreReadInOnePass) {
  // A reader that goes back over a line's ends, or keeps an object per line, takes
  // minutes or gigabytes here.
  const std::string text = std::string(1 << 20, '\r') + std::string(4 << 20, '\n') + "[Main]\nA=1";
  IniFile file = Parse(text);
  file.Write("Main", "B", "2");
  EXPECT_EQ(file.Read("Main", "A"), "1");
  // The file's first line end is a lone CR, so added lines end in one.
  EXPECT_TRUE(Save(file) == text + "\rB=2\r");  // not EXPECT_EQ: no diff of megabytes
}

}  // namespace
}  // namespace tessimar
