#include "settings/ini_file.h"

#include <iterator>

#include "platform/text_compare.h"

namespace tessimar {
namespace {

constexpr std::string_view Blanks = " \t";

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
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::size_t start = 0;
  while (start < text.size()) {
    const auto newline = text.find('\n', start);
    const std::size_t next = newline == std::string::npos ? text.size() : newline + 1;
    Line line{text.substr(start, next - start), {}};
    while (!line.Text.empty() && (line.Text.back() == '\n' || line.Text.back() == '\r')) {
      line.End.insert(line.End.begin(), line.Text.back());
      line.Text.pop_back();
    }
    file.lines_.push_back(std::move(line));
    start = next;
  }
  if (!file.lines_.empty() && !file.lines_.front().End.empty()) file.lineEnd_ = file.lines_.front().End;
  return file;
}

std::optional<IniFile::Range> IniFile::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const auto name = SectionName(lines_[i].Text);
    if (!name || CompareTextNoCase(*name, section) != 0) continue;
    // The section runs to the next header; blank lines before that header stay outside it.
    std::size_t end = i + 1;
    for (std::size_t j = i + 1; j < lines_.size() && !SectionName(lines_[j].Text); ++j)
      if (!Trim(lines_[j].Text).empty()) end = j + 1;
    return Range{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> IniFile::FindKey(const Range& range, std::string_view key) const {
  for (std::size_t i = range.Begin + 1; i < range.End; ++i)
    if (IsKeyLine(lines_[i].Text, key)) return i;
  return std::nullopt;
}

std::optional<std::string> IniFile::Read(std::string_view section, std::string_view key) const {
  const auto range = FindSection(section);
  if (!range) return std::nullopt;
  const auto line = FindKey(*range, key);
  if (!line) return std::nullopt;
  const std::string_view text = lines_[*line].Text;
  return std::string(StripQuotes(Trim(text.substr(text.find('=') + 1))));
}

void IniFile::Insert(std::size_t at, std::string text) {
  if (at > 0 && lines_[at - 1].End.empty()) lines_[at - 1].End = lineEnd_;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), lineEnd_});
}

void IniFile::Write(std::string_view section, std::string_view key, std::string_view value) {
  std::string text = std::string(key) + "=" + std::string(value);
  const auto range = FindSection(section);
  if (!range) {
    if (!lines_.empty() && !Trim(lines_.back().Text).empty()) Insert(lines_.size(), {});
    Insert(lines_.size(), "[" + std::string(section) + "]");
    Insert(lines_.size(), std::move(text));
  } else if (const auto existing = FindKey(*range, key)) {
    lines_[*existing].Text = std::move(text);
  } else {
    Insert(range->End, std::move(text));
  }
}

void IniFile::Save(std::ostream& out) const {
  for (const Line& line : lines_) out << line.Text << line.End;
}

}  // namespace tessimar
