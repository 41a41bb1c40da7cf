#include "review/batch_undo.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "environment.h"
#include "file_state.h"
#include "platform/trash_record.h"
#include "scanned_catalogue.h"
#include "shell.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;

bool Exists(const std::string& path) { return fs::exists(fs::symlink_status(path)); }

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// trash-restore offers the files trashed from below folder; "0" picks the first.
int TrashRestore(const std::string& folder) {
  return testing::RunShell("printf '0\\n' | trash-restore " + testing::ShellQuoted(folder) + " >/dev/null 2>&1").Status;
}

// Bytes of every value, so that a restored file is seen to be the same to the byte.
std::string Bytes(const std::string& name) {
  std::string bytes = name;
  for (int i = 0; i < 70000; ++i) bytes += static_cast<char>(i * 31 % 256);
  return bytes;
}

class BatchUndoTest : public ::testing::Test {
 protected:
  // Writes each name in folder with a keeper beside it, and runs a batch on the names.
  std::vector<std::string> RunOn(const std::vector<std::string>& names, BatchAction action, const std::string& folder) {
    std::vector<std::string> paths, originals;
    std::vector<TPicturePair> pairs;
    std::vector<BatchTarget> targets;
    for (const std::string& name : names) {
      const auto keeper = static_cast<std::int32_t>(paths.size());
      paths.push_back(Write(folder + "keep-" + name, Bytes(name)));
      paths.push_back(Write(folder + name, Bytes(name)));
      originals.push_back(paths.back());
      pairs.push_back({keeper, keeper + 1, 100});
      targets.push_back({keeper + 1, keeper});
    }
    Catalogue catalogue = testing::ScannedCatalogue(paths, pairs);
    BatchJournal journal(journalPath_);
    const BatchOutcome outcome = RunBatch(catalogue, targets, action, moved_, journal, {});
    EXPECT_EQ(outcome.Succeeded, names.size());
    EXPECT_TRUE(outcome.Failures.empty());
    return originals;
  }
  std::vector<std::string> RunOn(const std::vector<std::string>& names, BatchAction action) {
    return RunOn(names, action, photos_);
  }

  static std::string Write(const std::string& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    WriteFile(path, bytes);
    return path;
  }

  std::string Trashed(const std::string& name) const { return isolated_.DataHome() + "Trash/files/" + name; }
  std::string Record(const std::string& name) const {
    return isolated_.DataHome() + "Trash/info/" + name + ".trashinfo";
  }
  // Where the batch put the file of this name.
  std::string Now(BatchAction action, const std::string& name) const {
    return action == BatchAction::Trash ? Trashed(name) : moved_ + name;
  }

  // A new journal object each time: the undo reads what the batch left on disk.
  UndoOutcome Undo() const {
    BatchJournal journal(journalPath_);
    return UndoLastBatch(journal);
  }
  bool Undoable() const { return HasUndoableBatch(BatchJournal(journalPath_)); }

  testing::TempFolder temp_;
  const testing::IsolatedHome isolated_{temp_.Path()};
  const std::string photos_ = temp_.MakeFolder("photos");
  const std::string moved_ = temp_.MakeFolder("moved");
  const std::string journalPath_ = temp_ / "LastBatch.tsv";
};

const std::vector<std::string> AwkwardNames = {"a.jpg", "照片 100%41.jpg", "tab\tand\nline.jpg"};

TEST_F(BatchUndoTest, UndoPutsBackByteIdenticalFilesAfterTrashAndAfterMove) {
  for (const BatchAction action : {BatchAction::Trash, BatchAction::MoveToFolder}) {
    SCOPED_TRACE(action == BatchAction::Trash ? "trash" : "move");
    const std::vector<std::string> originals = RunOn(AwkwardNames, action);
    for (const std::string& original : originals) ASSERT_FALSE(Exists(original));
    EXPECT_TRUE(Undoable());

    const UndoOutcome outcome = Undo();

    EXPECT_EQ(outcome.Restored, AwkwardNames.size());
    EXPECT_EQ(outcome.PassedOver, 0u);
    EXPECT_TRUE(outcome.Failures.empty());
    for (std::size_t i = 0; i < AwkwardNames.size(); ++i) {
      EXPECT_EQ(ReadFileBytes(originals[i]), Bytes(AwkwardNames[i])) << AwkwardNames[i];
      EXPECT_FALSE(Exists(Now(action, AwkwardNames[i])));
      EXPECT_FALSE(Exists(Record(AwkwardNames[i]))) << "the trash no longer lists it";
    }
    EXPECT_FALSE(Undoable());
    const UndoOutcome again = Undo();
    EXPECT_EQ(again.Restored + again.PassedOver + again.Failures.size(), 0u) << "an undo runs once";
    fs::remove_all(photos_);
  }
}

// The trash's own record decides: a file another tool put back, a trash emptied or a record
// that names another file leave the file where it is, and the line leaves the journal.
TEST_F(BatchUndoTest, FilesPutBackOrGoneAlreadyArePassedOver) {
  struct Case {
    const char* what;
    BatchAction action;
    std::function<void(const std::string& original, const std::string& now, const std::string& record)> meanwhile;
    bool staysInTrash;  // the file is left in the trash by the undo
  };
  const Case cases[] = {
      {"put back by hand", BatchAction::Trash,
       [](const std::string& original, const std::string& now, const std::string& record) {
         fs::rename(now, original);
         fs::remove(record);
       },
       false},
      {"put back by trash-cli", BatchAction::Trash,
       [](const std::string& original, const std::string&, const std::string&) {
         ASSERT_EQ(TrashRestore(fs::path(original).parent_path()), 0) << "trash-cli is missing: scripts/setup";
       },
       false},
      {"trash emptied", BatchAction::Trash,
       [](const std::string&, const std::string& now, const std::string& record) {
         fs::remove(now);
         fs::remove(record);
       },
       false},
      {"record names another file", BatchAction::Trash,
       [](const std::string&, const std::string&, const std::string& record) {
         WriteFile(record, "[Trash Info]\nPath=/elsewhere/a.jpg\nDeletionDate=2024-05-01T10:00:00\n");
       },
       true},
      {"record gone, file left", BatchAction::Trash,
       [](const std::string&, const std::string&, const std::string& record) { fs::remove(record); }, true},
      {"moved on from the destination", BatchAction::MoveToFolder,
       [](const std::string&, const std::string& now, const std::string&) { fs::remove(now); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string original = RunOn({"a.jpg"}, c.action).front();
    c.meanwhile(original, Now(c.action, "a.jpg"), Record("a.jpg"));
    const bool putBack = Exists(original);

    const UndoOutcome outcome = Undo();

    EXPECT_EQ(outcome.Restored, 0u);
    EXPECT_EQ(outcome.PassedOver, 1u);
    EXPECT_TRUE(outcome.Failures.empty());
    EXPECT_EQ(Exists(original), putBack);
    if (putBack) {
      EXPECT_EQ(ReadFileBytes(original), Bytes("a.jpg"));
    }
    EXPECT_EQ(Exists(Trashed("a.jpg")), c.staysInTrash);
    EXPECT_FALSE(Undoable());
    fs::remove_all(photos_);
    fs::remove_all(isolated_.DataHome());
  }
}

// Files at original paths stay; their lines stay in the journal, in their order, for
// another undo once the way is clear; the other files come back.
TEST_F(BatchUndoTest, UndoNeverReplacesAFileAtTheOriginalPath) {
  for (const BatchAction action : {BatchAction::Trash, BatchAction::MoveToFolder}) {
    SCOPED_TRACE(action == BatchAction::Trash ? "trash" : "move");
    const std::vector<std::string> originals = RunOn({"a.jpg", "b.jpg", "c.jpg"}, action);
    const std::vector<JournalEntry> entries = BatchJournal(journalPath_).Entries();
    Write(originals[0], "a new picture");
    Write(originals[2], "another new picture");

    const UndoOutcome blocked = Undo();

    EXPECT_EQ(blocked.Restored, 1u);
    EXPECT_EQ(blocked.Failures,
              (std::vector<BatchFailure>{{originals[2], "原位置已有文件"}, {originals[0], "原位置已有文件"}}));
    EXPECT_EQ(ReadFileBytes(originals[0]), "a new picture");
    EXPECT_EQ(ReadFileBytes(originals[1]), Bytes("b.jpg"));
    EXPECT_EQ(ReadFileBytes(originals[2]), "another new picture");
    EXPECT_EQ(ReadFileBytes(Now(action, "a.jpg")), Bytes("a.jpg"));
    if (action == BatchAction::Trash) {
      EXPECT_EQ(TrashedFileOrigin(Trashed("a.jpg")), originals[0]);
    }
    EXPECT_EQ(BatchJournal(journalPath_).Entries(), (std::vector{entries[0], entries[2]}));
    EXPECT_TRUE(Undoable());

    fs::remove(originals[0]);
    fs::remove(originals[2]);
    const UndoOutcome retried = Undo();
    EXPECT_EQ(retried.Restored, 2u);
    EXPECT_TRUE(retried.Failures.empty());
    EXPECT_EQ(ReadFileBytes(originals[0]), Bytes("a.jpg"));
    EXPECT_EQ(ReadFileBytes(originals[2]), Bytes("c.jpg"));
    EXPECT_FALSE(Undoable());
    fs::remove_all(photos_);
  }
}

// The trash records the folder with its links resolved; the catalogue keeps it as scanned.
TEST_F(BatchUndoTest, AFileScannedThroughALinkedFolderComesBack) {
  const std::string real = temp_.MakeFolder("real");
  fs::create_directory_symlink(real, temp_ / "linked");
  const std::string original = RunOn({"a.jpg"}, BatchAction::Trash, temp_ / "linked/").front();
  ASSERT_EQ(TrashedFileOrigin(Trashed("a.jpg")), real + "a.jpg");

  const UndoOutcome outcome = Undo();

  EXPECT_EQ(outcome.Restored, 1u);
  EXPECT_EQ(ReadFileBytes(original), Bytes("a.jpg"));
  EXPECT_TRUE(fs::is_symlink(temp_ / "linked"));
}

// Each batch replaces the journal: one that deletes for good leaves nothing to put back,
// and the trash's files of the batch before stay in the trash.
TEST_F(BatchUndoTest, APermanentDeleteLeavesNothingToUndo) {
  RunOn({"a.jpg"}, BatchAction::Trash);
  ASSERT_TRUE(Undoable());
  const std::string deleted = RunOn({"b.jpg"}, BatchAction::Delete).front();
  EXPECT_FALSE(Exists(deleted));
  EXPECT_FALSE(Undoable());
  const UndoOutcome outcome = Undo();
  EXPECT_EQ(outcome.Restored + outcome.PassedOver + outcome.Failures.size(), 0u);
  EXPECT_EQ(ReadFileBytes(Trashed("a.jpg")), Bytes("a.jpg"));
}

}  // namespace
}  // namespace tessimar
