#include "settings/ini_file.h"

#include <algorithm>
#include <iterator>

#include "platform/text_compare.h"

namespace tessimar {
namespace {

constexpr std::string_view Blanks = " \t";
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(Blanks);
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(Blanks);
  return text.substr(first, last - first + 1);
}

// The name of a "[name]" line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
  const std::string_view text = Trim(line);
  if (text.size() < 2 || text.front() != '[') return std::nullopt;
  const auto close = text.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(text.substr(1, close - 1));
}

bool IsKeyLine(std::string_view line, std::string_view key) {
  const auto equals = line.find('=');
  return equals != std::string_view::npos && CompareTextNoCase(Trim(line.substr(0, equals)), key) == 0;
}

std::string_view StripQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

IniFile IniFile::Parse(std::istream& in) {
  IniFile file;
  file.text_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (std::string_view(file.text_).starts_with(ByteOrderMark)) file.bodyBegin_ = ByteOrderMark.size();
  const Line first = file.LineAt(file.bodyBegin_);
  if (first.Next > first.End) file.lineEnd_ = file.text_.substr(first.End, first.Next - first.End);
  return file;
}

IniFile::Line IniFile::LineAt(std::size_t begin) const {
  const std::size_t end = std::min(text_.find_first_of("\r\n", begin), text_.size());
  std::size_t next = end;
  if (next < text_.size()) next += text_.compare(next, 2, "\r\n") == 0 ? 2 : 1;
  return {begin, end, next};
}

std::optional<IniFile::Section> IniFile::FindSection(std::string_view section) const {
  for (Line line = LineAt(bodyBegin_); line.Begin < text_.size(); line = LineAt(line.Next)) {
    const auto name = SectionName(line.Text(text_));
    if (!name || CompareTextNoCase(*name, section) != 0) continue;
    // The section runs to the next header; blank lines before that header stay outside it.
    Section found{line.Next, line};
    for (Line key = LineAt(line.Next); key.Begin < text_.size() && !SectionName(key.Text(text_));
         key = LineAt(key.Next))
      if (!Trim(key.Text(text_)).empty()) found.Last = key;
    return found;
  }
  return std::nullopt;
}

std::optional<IniFile::Line> IniFile::FindKey(const Section& section, std::string_view key) const {
  for (Line line = LineAt(section.Begin); line.Begin < section.Last.Next; line = LineAt(line.Next))
    if (IsKeyLine(line.Text(text_), key)) return line;
  return std::nullopt;
}

std::optional<std::string> IniFile::Read(std::string_view section, std::string_view key) const {
  const auto found = FindSection(section);
  if (!found) return std::nullopt;
  const auto line = FindKey(*found, key);
  if (!line) return std::nullopt;
  const std::string_view text = line->Text(text_);
  return std::string(StripQuotes(Trim(text.substr(text.find('=') + 1))));
}

// Inserts lines (each ending in lineEnd_) at a line start, or at the end of a last line
// that has no line end of its own, which then gets one.
void IniFile::InsertLines(std::size_t at, std::string lines) {
  if (at == text_.size() && at > bodyBegin_ && text_.back() != '\n' && text_.back() != '\r')
    lines.insert(0, lineEnd_);
  text_.insert(at, lines);
}

std::string_view IniFile::LastLineText() const {
  Line last = LineAt(bodyBegin_);
  while (last.Next < text_.size()) last = LineAt(last.Next);
  return last.Text(text_);
}

void IniFile::Write(std::string_view section, std::string_view key, std::string_view value) {
  const std::string line = std::string(key) + "=" + std::string(value);
  const auto found = FindSection(section);
  if (!found) {
    std::string lines = "[" + std::string(section) + "]" + lineEnd_ + line + lineEnd_;
    // A blank line parts the new section from a last line that has text.
    if (!Trim(LastLineText()).empty()) lines.insert(0, lineEnd_);
    InsertLines(text_.size(), std::move(lines));
  } else if (const auto existing = FindKey(*found, key)) {
    text_.replace(existing->Begin, existing->End - existing->Begin, line);  // its line end stays
  } else {
    InsertLines(found->Last.Next, line + lineEnd_);
  }
}

void IniFile::Erase(std::string_view section, std::string_view key) {
  for (auto found = FindSection(section); found; found = FindSection(section)) {
    const auto line = FindKey(*found, key);
    if (!line) return;
    text_.erase(line->Begin, line->Next - line->Begin);
  }
}

void IniFile::Save(std::ostream& out) const { out << text_; }

}  // namespace tessimar
