#include "review/batch_undo.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>

#include "platform/move_file.h"
#include "platform/path_text.h"
#include "platform/trash_record.h"

namespace tessimar {
namespace {

constexpr std::string_view OriginalTaken = "原位置已有文件";
constexpr std::string_view RestoreFailed = "无法放回原处：";

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

// path with its folder's links resolved; nothing when the folder does not resolve.
std::optional<std::string> WithRealFolder(const std::string& path) {
  const auto [folder, name] = SplitPath(path);
  char real[PATH_MAX];
  if (folder.empty() || ::realpath(std::string(folder).c_str(), real) == nullptr) return std::nullopt;
  return WithTrailingSlash(real) + std::string(name);
}

// The trash records the original's folder with its links resolved; the journal as scanned.
bool SamePlace(const std::string& recorded, const std::string& original) {
  if (recorded == original) return true;
  const auto resolved = WithRealFolder(original);
  return resolved && WithRealFolder(recorded) == resolved;
}

// Whether the file is still where the batch put it: a trashed one only while the trash's
// own record of it is there and names the original, as another tool that put it back or
// emptied the trash took that record away.
bool StillWhereTheBatchPutIt(const JournalEntry& entry) {
  if (!Exists(entry.Now)) return false;
  if (entry.What == JournalEntry::Kind::Move) return true;
  const std::optional<std::string> origin = TrashedFileOrigin(entry.Now);
  return origin && SamePlace(*origin, entry.Original);
}

// Moves the file back, never over another; the failure's reason, or nothing on success.
std::optional<std::string> PutBack(const JournalEntry& entry) {
  if (const int error = MoveFileNoReplace(entry.Now, entry.Original)) {
    return error == EEXIST ? std::string(OriginalTaken) : std::string(RestoreFailed) + std::strerror(error);
  }
  if (entry.What == JournalEntry::Kind::Trash) ::unlink(TrashInfoPath(entry.Now).c_str());
  return std::nullopt;
}

}  // namespace

UndoOutcome UndoLastBatch(BatchJournal& journal) {
  const std::vector<JournalEntry> entries = journal.Entries();
  UndoOutcome outcome;
  std::vector<JournalEntry> failed;
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
    if (!StillWhereTheBatchPutIt(*entry)) {
      ++outcome.PassedOver;
    } else if (const std::optional<std::string> failure = PutBack(*entry)) {
      outcome.Failures.push_back({entry->Original, *failure});
      failed.push_back(*entry);
    } else {
      ++outcome.Restored;
    }
  }
  std::ranges::reverse(failed);
  journal.Keep(failed);
  return outcome;
}

bool HasUndoableBatch(const BatchJournal& journal) { return !journal.Entries().empty(); }

}  // namespace tessimar
