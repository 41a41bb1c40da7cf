#include "review/batch_journal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "platform/file_replacement.h"
#include "platform/percent_encoding.h"
#include "platform/regular_file.h"
#include "settings/data_folder.h"

namespace tessimar {
namespace {

constexpr std::string_view TrashWord = "trash";
constexpr std::string_view MoveWord = "move";

std::string Line(const JournalEntry& entry) {
  const std::string_view kind = entry.What == JournalEntry::Kind::Trash ? TrashWord : MoveWord;
  return std::string(kind) + '\t' + PercentEncoded(entry.Original) + '\t' + PercentEncoded(entry.Now) + '\n';
}

// A full path, written exactly as Line writes it: any other form is damage.
std::optional<std::string> DecodedPath(std::string_view field) {
  std::optional<std::string> path = PercentDecoded(field);
  if (!path || !path->starts_with('/') || PercentEncoded(*path) != field) return std::nullopt;
  return path;
}

// One line without its '\n'; nothing for a damaged one, which is never guessed at.
std::optional<JournalEntry> Parsed(std::string_view line) {
  const std::size_t first = line.find('\t');
  const std::size_t second = first == std::string_view::npos ? first : line.find('\t', first + 1);
  if (second == std::string_view::npos || line.find('\t', second + 1) != std::string_view::npos) return std::nullopt;
  JournalEntry entry;
  const std::string_view kind = line.substr(0, first);
  if (kind == TrashWord) {
    entry.What = JournalEntry::Kind::Trash;
  } else if (kind == MoveWord) {
    entry.What = JournalEntry::Kind::Move;
  } else {
    return std::nullopt;
  }
  auto original = DecodedPath(line.substr(first + 1, second - first - 1));
  auto now = DecodedPath(line.substr(second + 1));
  if (!original || !now) return std::nullopt;
  entry.Original = std::move(*original);
  entry.Now = std::move(*now);
  return entry;
}

[[noreturn]] void WriteFailed(const std::string& path, int error) {
  throw std::runtime_error("Unable to write to " + path + ": " + std::strerror(error));
}

// Opens, writes, syncs and closes; a line is on the disk when this returns.
void WriteSynced(const std::string& path, int flags, std::string_view text) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | flags, 0600);
  if (fd < 0) WriteFailed(path, errno);
  int error = 0;
  while (error == 0 && !text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = n < 0 ? errno : ENOSPC;
    } else {
      text.remove_prefix(static_cast<std::size_t>(n));
    }
  }
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) WriteFailed(path, error);
}

}  // namespace

BatchJournal::BatchJournal(std::string path) : path_(std::move(path)) {}

void BatchJournal::Begin() { WriteSynced(path_, O_TRUNC, {}); }

void BatchJournal::Record(const JournalEntry& entry) { WriteSynced(path_, O_APPEND, Line(entry)); }

std::vector<JournalEntry> BatchJournal::Entries() const {
  const RegularFile probe(path_);
  if (probe.Refused() == RegularFile::Refusal::CannotOpen && probe.Error() == ENOENT) return {};
  std::string text;
  try {
    text = ReadRegularFile(path_);
  } catch (const std::runtime_error& error) {
    throw std::runtime_error("Unable to read " + path_ + ": " + error.what());
  }
  std::vector<JournalEntry> entries;
  // A last line without its '\n' was cut short by a crash while it was written.
  for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    if (auto entry = Parsed(std::string_view(text).substr(start, end - start))) entries.push_back(std::move(*entry));
  }
  return entries;
}

void BatchJournal::Keep(const std::vector<JournalEntry>& entries) {
  std::string text;
  for (const JournalEntry& entry : entries) text += Line(entry);
  FileReplacement replacement(path_);
  replacement.Commit(text);
}

std::string DefaultJournalPath() { return DataFolder() + "LastBatch.tsv"; }

}  // namespace tessimar
