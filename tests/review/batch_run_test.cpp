#include "review/batch_run.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "environment.h"
#include "file_state.h"
#include "scanned_catalogue.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;

constexpr const char* TargetChanged = "文件已被移动或替换";
constexpr const char* KeeperChanged = "另一张图片已不在原处或已改变";

bool Exists(const std::string& path) { return fs::exists(fs::symlink_status(path)); }

std::time_t ModifiedOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) throw std::runtime_error("no file " + path);
  return st.st_mtime;
}

void SetModified(const std::string& path, std::time_t seconds) {
  const timespec times[2] = {{0, UTIME_OMIT}, {seconds, 0}};
  if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) throw std::runtime_error("cannot touch " + path);
}

// Each change leaves all but one of the things the batch checks as they were.
void Remove(const std::string& path) { fs::remove(path); }

void ReplaceByACopy(const std::string& path) {
  const std::time_t modified = ModifiedOf(path);
  fs::copy_file(path, path + ".new");
  SetModified(path + ".new", modified);
  fs::rename(path + ".new", path);
}

void Grow(const std::string& path) {
  const std::time_t modified = ModifiedOf(path);
  fs::resize_file(path, fs::file_size(path) + 1);
  SetModified(path, modified);
}

void Touch(const std::string& path) { SetModified(path, ModifiedOf(path) + 24 * 60 * 60); }

// Two pairs of copies in photos/: a1 keeps a2, b1 keeps b2; the batch acts on a2, then b2.
class BatchRunTest : public ::testing::Test {
 protected:
  std::string Photo(const char* name) const { return photos_ + name; }
  std::string Trashed(const char* name) const { return isolated_.DataHome() + "Trash/files/" + name; }

  Catalogue TwoPairs() const {
    for (const char* name : {"a1.jpg", "a2.jpg"}) temp_.Write(std::string("photos/") + name, "picture a");
    for (const char* name : {"b1.jpg", "b2.jpg"}) temp_.Write(std::string("photos/") + name, "picture b");
    return testing::ScannedCatalogue({Photo("a1.jpg"), Photo("a2.jpg"), Photo("b1.jpg"), Photo("b2.jpg")},
                                     {{0, 1, 100}, {2, 3, 100}});
  }

  // Where the action puts a file it acted on; empty when it leaves nothing.
  std::string Destination(BatchAction action, const char* name) const {
    switch (action) {
      case BatchAction::Trash:
        return Trashed(name);
      case BatchAction::MoveToFolder:
        return moved_ + name;
      case BatchAction::Delete:
        break;
    }
    return {};
  }

  testing::TempFolder temp_;
  const testing::IsolatedHome isolated_{temp_.Path()};
  const std::string photos_ = temp_.MakeFolder("photos");
  const std::string moved_ = temp_.MakeFolder("moved");
  BatchJournal journal_{temp_ / "LastBatch.tsv"};
};

const std::vector<BatchTarget> BothTargets = {{1, 0}, {3, 2}};

struct ActionRow {
  const char* what;
  BatchAction action;
};
const ActionRow Actions[] = {
    {"trash", BatchAction::Trash},
    {"move", BatchAction::MoveToFolder},
    {"delete", BatchAction::Delete},
};

// The last-copy guarantee: whatever changed under the batch, a2 is left alone and listed,
// and the batch goes on to b2.
TEST_F(BatchRunTest, AChangedKeeperOrTargetIsLeftAloneAndTheBatchGoesOn) {
  struct Case {
    const char* what;
    std::function<void(const std::string&)> change;
    const char* changed;  // the file changed
    const char* reason;   // empty: a2 is acted on too
  };
  const Case cases[] = {
      {"nothing changed", [](const std::string&) {}, "a1.jpg", ""},
      {"keeper deleted", Remove, "a1.jpg", KeeperChanged},
      {"keeper replaced by a copy (new inode)", ReplaceByACopy, "a1.jpg", KeeperChanged},
      {"keeper grown", Grow, "a1.jpg", KeeperChanged},
      {"keeper touched", Touch, "a1.jpg", KeeperChanged},
      {"target replaced by a copy (new inode)", ReplaceByACopy, "a2.jpg", TargetChanged},
      {"target deleted", Remove, "a2.jpg", TargetChanged},
  };
  for (const ActionRow& action : Actions) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(action.what) + ", " + c.what);
      fs::remove_all(isolated_.DataHome());
      Catalogue catalogue = TwoPairs();
      c.change(Photo(c.changed));
      const bool a2There = Exists(Photo("a2.jpg"));
      const std::string a2Before = ReadFileBytes(Photo("a2.jpg"));

      const BatchOutcome outcome = RunBatch(catalogue, BothTargets, action.action, moved_, journal_, {});

      const bool actsOnA2 = c.reason[0] == '\0';
      EXPECT_FALSE(outcome.Stopped);
      EXPECT_EQ(outcome.Succeeded, actsOnA2 ? 2u : 1u);
      const std::vector<BatchFailure> failures =
          actsOnA2 ? std::vector<BatchFailure>{} : std::vector<BatchFailure>{{Photo("a2.jpg"), c.reason}};
      EXPECT_EQ(outcome.Failures, failures);
      EXPECT_FALSE(Exists(Photo("b2.jpg")));
      EXPECT_EQ(ReadFileBytes(Photo("b1.jpg")), "picture b");
      std::vector<JournalEntry> journal;
      if (action.action != BatchAction::Delete) {
        const JournalEntry::Kind kind =
            action.action == BatchAction::Trash ? JournalEntry::Kind::Trash : JournalEntry::Kind::Move;
        EXPECT_EQ(ReadFileBytes(Destination(action.action, "b2.jpg")), "picture b");
        if (actsOnA2) journal.push_back({kind, Photo("a2.jpg"), Destination(action.action, "a2.jpg")});
        journal.push_back({kind, Photo("b2.jpg"), Destination(action.action, "b2.jpg")});
      }
      EXPECT_EQ(journal_.Entries(), journal);
      EXPECT_EQ(Exists(Photo("a2.jpg")), a2There && !actsOnA2);
      if (!actsOnA2) {
        EXPECT_EQ(ReadFileBytes(Photo("a2.jpg")), a2Before);
        EXPECT_EQ(catalogue.PairCount(), 1);
        EXPECT_EQ(catalogue.PicturePairs.at(0).PicIndex2, 1);
        EXPECT_FALSE(catalogue.PicList[1].Deleted);
      } else {
        EXPECT_EQ(catalogue.PairCount(), 0);
      }
      EXPECT_TRUE(catalogue.PicList[3].Deleted);
      if (action.action == BatchAction::Delete) {
        EXPECT_FALSE(Exists(isolated_.DataHome() + "Trash"));
      }
      fs::remove_all(photos_);
      fs::remove_all(moved_);
      fs::create_directories(photos_);
      fs::create_directories(moved_);
    }
  }
}

// Stop after the k-th file of four: the rest keep their files, their pairs and no journal line.
TEST_F(BatchRunTest, StopLeavesTheRestUntouched) {
  const std::vector<std::string> stems = {"a", "b", "c", "d"};
  for (std::size_t stopAt = 1; stopAt <= stems.size(); ++stopAt) {
    SCOPED_TRACE("stop at " + std::to_string(stopAt));
    std::vector<std::string> paths;
    std::vector<TPicturePair> pairs;
    std::vector<BatchTarget> targets;
    for (const std::string& stem : stems) {
      const std::int32_t first = static_cast<std::int32_t>(paths.size());
      paths.push_back(temp_.Write("photos/" + stem + "1.jpg", stem));
      paths.push_back(temp_.Write("photos/" + stem + "2.jpg", stem));
      pairs.push_back({first, first + 1, 100});
      targets.push_back({first + 1, first});
    }
    Catalogue catalogue = testing::ScannedCatalogue(paths, pairs);
    std::vector<std::size_t> steps;
    const BatchOutcome outcome =
        RunBatch(catalogue, targets, BatchAction::MoveToFolder, moved_, journal_, [&](const BatchProgress& progress) {
          EXPECT_EQ(progress.Total, stems.size());
          steps.push_back(progress.Done);
          return progress.Done != stopAt;
        });

    EXPECT_EQ(outcome.Stopped, stopAt < stems.size()) << "stopping after the last is no stop";
    EXPECT_EQ(outcome.Succeeded, stopAt);
    EXPECT_TRUE(outcome.Failures.empty());
    EXPECT_EQ(steps.size(), stopAt);
    EXPECT_EQ(steps.back(), stopAt);
    EXPECT_EQ(journal_.Entries().size(), stopAt);
    EXPECT_EQ(catalogue.PairCount(), static_cast<std::int32_t>(stems.size() - stopAt));
    for (std::size_t i = 0; i < stems.size(); ++i) {
      const std::string name = stems[i] + "2.jpg";
      EXPECT_EQ(Exists(photos_ + name), i >= stopAt) << name;
      EXPECT_EQ(Exists(moved_ + name), i < stopAt) << name;
    }
    fs::remove_all(photos_);
    fs::remove_all(moved_);
    fs::create_directories(moved_);
  }
}

TEST_F(BatchRunTest, ASuccessTakesEveryPairOfThePictureOutOfTheList) {
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"})
    temp_.Write(std::string("photos/") + name, name);
  Catalogue catalogue =
      testing::ScannedCatalogue({Photo("a.jpg"), Photo("b.jpg"), Photo("c.jpg"), Photo("d.jpg"), Photo("e.jpg")},
                                {{0, 1, 100}, {2, 1, 95}, {3, 4, 100}});
  const BatchOutcome outcome = RunBatch(catalogue, {{1, 0}}, BatchAction::Trash, moved_, journal_, {});
  EXPECT_EQ(outcome.Succeeded, 1u);
  ASSERT_EQ(catalogue.PairCount(), 1);
  EXPECT_EQ(catalogue.PicturePairs[0].PicIndex1, 3);
  EXPECT_EQ(catalogue.PicturePairs[0].PicIndex2, 4);
}

// A move never replaces a file of the same name in the destination folder.
TEST_F(BatchRunTest, AMoveOntoATakenNameFailsAndChangesNothing) {
  Catalogue catalogue = TwoPairs();
  temp_.Write("moved/a2.jpg", "another picture");
  const BatchOutcome outcome = RunBatch(catalogue, BothTargets, BatchAction::MoveToFolder, moved_, journal_, {});
  EXPECT_EQ(outcome.Failures, (std::vector<BatchFailure>{{Photo("a2.jpg"), "目标文件夹已有同名文件"}}));
  EXPECT_EQ(outcome.Succeeded, 1u);
  EXPECT_EQ(ReadFileBytes(moved_ + "a2.jpg"), "another picture");
  EXPECT_EQ(ReadFileBytes(Photo("a2.jpg")), "picture a");
  EXPECT_EQ(ReadFileBytes(moved_ + "b2.jpg"), "picture b");
}

// Without its journal a batch would act on files no undo can put back: one it cannot write
// at the start acts on nothing, one lost on the way stops the batch after that file.
TEST_F(BatchRunTest, AJournalThatCannotBeWrittenStopsTheBatch) {
  {
    Catalogue catalogue = TwoPairs();
    BatchJournal nowhere(temp_ / "missing/LastBatch.tsv");
    bool stepped = false;
    EXPECT_THROW(RunBatch(catalogue, BothTargets, BatchAction::Trash, moved_, nowhere,
                          [&](const BatchProgress&) { return stepped = true; }),
                 std::runtime_error);
    EXPECT_FALSE(stepped);
    EXPECT_EQ(catalogue.PairCount(), 2);
    EXPECT_TRUE(Exists(Photo("a2.jpg")) && Exists(Photo("b2.jpg")));
  }
  temp_.Write("photos/c1.jpg", "picture c");
  temp_.Write("photos/c2.jpg", "picture c");
  Catalogue catalogue = testing::ScannedCatalogue(
      {Photo("a1.jpg"), Photo("a2.jpg"), Photo("b1.jpg"), Photo("b2.jpg"), Photo("c1.jpg"), Photo("c2.jpg")},
      {{0, 1, 100}, {2, 3, 100}, {4, 5, 100}});
  const std::string journalFolder = temp_.MakeFolder("journal");
  BatchJournal journal(journalFolder + "LastBatch.tsv");
  const BatchOutcome outcome =
      RunBatch(catalogue, {{1, 0}, {3, 2}, {5, 4}}, BatchAction::Trash, moved_, journal, [&](const BatchProgress& p) {
        if (p.Done == 1) fs::remove_all(journalFolder);
        return true;
      });
  EXPECT_TRUE(outcome.Stopped);
  EXPECT_EQ(outcome.Succeeded, 2u);
  ASSERT_EQ(outcome.Failures.size(), 1u);
  EXPECT_EQ(outcome.Failures[0].Path, Photo("b2.jpg"));
  EXPECT_TRUE(outcome.Failures[0].Reason.starts_with("已处理，但无法记下以便撤销")) << outcome.Failures[0].Reason;
  EXPECT_EQ(ReadFileBytes(Trashed("b2.jpg")), "picture b") << "still in the trash, with its record";
  EXPECT_EQ(ReadFileBytes(Photo("c2.jpg")), "picture c");
  EXPECT_EQ(catalogue.PairCount(), 1);
}

}  // namespace
}  // namespace tessimar
