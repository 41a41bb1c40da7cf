// The record of the last batch clean-up, kept on disk as the batch goes, so that an undo
// can put back every file it moved, even after a crash in the middle of it.
#pragma once

#include <string>
#include <vector>

namespace tessimar {

struct JournalEntry {
  enum class Kind { Trash, Move };
  Kind What = Kind::Trash;
  std::string Original;  // where the file was
  std::string Now;       // the trashed file (in the trash's files/) or the moved one
  friend bool operator==(const JournalEntry&, const JournalEntry&) = default;
};

// One line an entry, "trash" or "move", the original path and the present one, separated by
// tabs, paths percent-encoded; each line reaches the disk before the next action.
class BatchJournal {
 public:
  explicit BatchJournal(std::string path);

  // Starts the record of a new batch, forgetting the last one. Throws std::runtime_error
  // with a clear message when the file cannot be written.
  void Begin();
  // Appends the entry and syncs it to the disk. Throws std::runtime_error as Begin does.
  void Record(const JournalEntry& entry);
  // The entries of the last batch, in the order they were made; none when there is no file.
  // A damaged line (unknown kind, a path not written as Record writes it, a last line cut
  // short) is skipped. Throws std::runtime_error when the file is there but cannot be read.
  std::vector<JournalEntry> Entries() const;
  // Keeps only these entries (those an undo could not put back), replacing the file whole.
  // Throws std::runtime_error (FileWriteError) when it cannot be written.
  void Keep(const std::vector<JournalEntry>& entries);

 private:
  std::string path_;
};

// <data folder>LastBatch.tsv, beside the settings file.
std::string DefaultJournalPath();

}  // namespace tessimar
