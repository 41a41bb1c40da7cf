// An INI document held as its lines, so that a rewrite keeps every section and key it
// does not touch byte for byte. Section and key names compare without case.
#pragma once

#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tessimar {

class IniFile {
 public:
  static IniFile Parse(std::istream& in);

  // The value of key in section, blanks around it removed; nothing when either is missing.
  std::optional<std::string> Read(std::string_view section, std::string_view key) const;
  // Replaces the key's line, or adds the key at the end of its section, or adds the section.
  void Write(std::string_view section, std::string_view key, std::string_view value);

  void Save(std::ostream& out) const;

 private:
  struct Range {
    std::size_t Begin;  // the section's header line
    std::size_t End;    // one past its last key line
  };
  std::optional<Range> FindSection(std::string_view section) const;
  std::optional<std::size_t> FindKey(const Range& range, std::string_view key) const;

  struct Line {
    std::string Text;
    std::string End;  // "\r\n", "\n", or empty for a last line without one
  };
  void Insert(std::size_t at, std::string text);

  std::vector<Line> lines_;
  std::string lineEnd_ = "\n";  // the file's first line end, used for added lines
};

}  // namespace tessimar
