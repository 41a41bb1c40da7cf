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
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    IniFile file = Parse(c.before);
    file.Write("Main", "B", "9");
    EXPECT_EQ(Save(file), c.after);
  }
}

}  // namespace
}  // namespace tessimar
