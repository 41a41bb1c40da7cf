// An INI document held as its text, so that a rewrite keeps every section and key it
// does not touch byte for byte. Section and key names compare without case. A line ends
// at CR LF, LF or a lone CR; a leading UTF-8 byte-order mark is passed over and kept.
#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace tessimar {

class IniFile {
 public:
  static IniFile Parse(std::istream& in);

  // The value of key in section, blanks around it removed; nothing when either is missing.
  std::optional<std::string> Read(std::string_view section, std::string_view key) const;
  // Replaces the key's line, or adds the key at the end of its section, or adds the section.
  void Write(std::string_view section, std::string_view key, std::string_view value);
  // Removes every line of the key in section, line ends and all; the rest stays byte for byte.
  void Erase(std::string_view section, std::string_view key);

  void Save(std::ostream& out) const;

 private:
  // One line of text_: [Begin, End) is its text, [End, Next) its line end.
  struct Line {
    std::size_t Begin;
    std::size_t End;
    std::size_t Next;
    std::string_view Text(const std::string& text) const { return std::string_view(text).substr(Begin, End - Begin); }
  };
  // The lines of a section after its header, up to its last line that is not blank.
  struct Section {
    std::size_t Begin;  // the first line after the header
    Line Last;          // the header, or the last line that is not blank
  };
  Line LineAt(std::size_t begin) const;
  std::optional<Section> FindSection(std::string_view section) const;
  std::optional<Line> FindKey(const Section& section, std::string_view key) const;
  std::string_view LastLineText() const;
  void InsertLines(std::size_t at, std::string lines);

  std::string text_;
  std::size_t bodyBegin_ = 0;   // past the byte-order mark, if any
  std::string lineEnd_ = "\n";  // the file's first line end, used for added lines
};

}  // namespace tessimar
