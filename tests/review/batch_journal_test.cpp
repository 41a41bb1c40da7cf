#include "review/batch_journal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "environment.h"
#include "file_state.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

using Kind = JournalEntry::Kind;
using testing::ReadFileBytes;

class BatchJournalTest : public ::testing::Test {
 protected:
  testing::TempFolder temp_;
  const std::string path_ = temp_ / "LastBatch.tsv";
};

// Tabs, line breaks, '%' and bytes that are no UTF-8 must neither break a line nor come
// back changed, also when another journal object reads the file.
TEST_F(BatchJournalTest, EntriesSurviveAReopenWhateverTheirNames) {
  const std::vector<JournalEntry> entries = {
      {Kind::Trash, "/photos/a.jpg", "/home/u/.local/share/Trash/files/a.jpg"},
      {Kind::Move, "/photos/tab\there.jpg", "/moved/tab\there.jpg"},
      {Kind::Trash, "/photos/line\nbreak 100%41.jpg", "/t/files/line\nbreak 100%41.jpg"},
      {Kind::Move, "/照片/\xFF\xFE.jpg", "/其他/\xFF\xFE.jpg"},
  };
  {
    BatchJournal journal(path_);
    journal.Begin();
    for (const JournalEntry& entry : entries) journal.Record(entry);
  }
  const std::string text = ReadFileBytes(path_);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4) << text;
  EXPECT_EQ(text.substr(0, text.find('\n') + 1), "trash\t/photos/a.jpg\t/home/u/.local/share/Trash/files/a.jpg\n");
  EXPECT_EQ(BatchJournal(path_).Entries(), entries);
}

TEST_F(BatchJournalTest, BeginForgetsTheLastBatchAndKeepLeavesOnlyWhatItIsGiven) {
  const JournalEntry first{Kind::Trash, "/a/1.jpg", "/t/files/1.jpg"};
  const JournalEntry second{Kind::Move, "/a/2.jpg", "/b/2.jpg"};
  BatchJournal journal(path_);
  EXPECT_TRUE(journal.Entries().empty()) << "no file, no entries";
  journal.Begin();
  journal.Record(first);
  journal.Record(second);
  journal.Keep({second});
  EXPECT_EQ(BatchJournal(path_).Entries(), std::vector{second});
  journal.Keep({});
  EXPECT_TRUE(journal.Entries().empty());
  journal.Record(first);
  journal.Begin();
  EXPECT_EQ(ReadFileBytes(path_), "");
}

// A damaged line is passed over, never guessed at; the lines around it still count.
TEST_F(BatchJournalTest, DamagedLinesAreSkipped) {
  const std::string good = "move\t/a/1.jpg\t/b/1.jpg\n";
  const struct {
    const char* what;
    std::string line;
  } cases[] = {
      {"unknown kind", "copy\t/a/x.jpg\t/b/x.jpg\n"},
      {"kind in capitals", "MOVE\t/a/x.jpg\t/b/x.jpg\n"},
      {"broken escape", "move\t/a/x%2.jpg\t/b/x.jpg\n"},
      {"broken escape in the second path", "trash\t/a/x.jpg\t/t/files/x%zz.jpg\n"},
      {"two fields", "move\t/a/x.jpg\n"},
      {"four fields", "move\t/a/x.jpg\t/b/x.jpg\t/c/x.jpg\n"},
      {"relative path", "move\ta/x.jpg\t/b/x.jpg\n"},
      {"empty path", "move\t/a/x.jpg\t\n"},
      {"blank line", "\n"},
      {"carriage return", "move\t/a/x.jpg\t/b/x.jpg\r\n"},
      {"a byte the journal writes escaped", "move\t/a/x y.jpg\t/b/x.jpg\n"},
      {"an escape of a byte written as it is", "move\t/a/x%2Ejpg\t/b/x.jpg\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    testing::TempFolder folder;
    folder.Write("LastBatch.tsv", good + c.line + good);
    const std::vector<JournalEntry> entries = BatchJournal(folder / "LastBatch.tsv").Entries();
    EXPECT_EQ(entries, (std::vector<JournalEntry>(2, {Kind::Move, "/a/1.jpg", "/b/1.jpg"})));
  }
}

// A crash while a line was written leaves it without its line break; its path may be cut.
TEST_F(BatchJournalTest, ALastLineCutShortIsSkipped) {
  temp_.Write("LastBatch.tsv", "move\t/a/1.jpg\t/b/1.jpg\nmove\t/a/2.jpg\t/b/2.j");
  EXPECT_EQ(BatchJournal(path_).Entries(), (std::vector<JournalEntry>{{Kind::Move, "/a/1.jpg", "/b/1.jpg"}}));
}

TEST_F(BatchJournalTest, AJournalThatCannotBeWrittenOrReadSaysSo) {
  temp_.MakeFolder("LastBatch.tsv");
  BatchJournal journal(path_);
  EXPECT_THROW(journal.Begin(), std::runtime_error);
  EXPECT_THROW(journal.Entries(), std::runtime_error);
  EXPECT_THROW(journal.Keep({}), std::runtime_error);
  BatchJournal missingFolder(temp_ / "missing/LastBatch.tsv");
  EXPECT_THROW(missingFolder.Begin(), std::runtime_error);
  EXPECT_THROW(missingFolder.Record({Kind::Move, "/a/1.jpg", "/b/1.jpg"}), std::runtime_error);
}

TEST_F(BatchJournalTest, TheDefaultJournalLiesBesideTheSettings) {
  const testing::IsolatedHome home(temp_.Path());
  EXPECT_EQ(DefaultJournalPath(), home.ConfigHome() + "Tessimar/LastBatch.tsv");
}

}  // namespace
}  // namespace tessimar
