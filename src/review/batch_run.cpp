#include "review/batch_run.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "platform/dos_time.h"
#include "platform/file_identity.h"
#include "platform/move_file.h"
#include "platform/path_text.h"
#include "platform/shell_delete.h"
#include "platform/trash.h"

namespace tessimar {
namespace {

constexpr std::string_view TargetChanged = "文件已被移动或替换";
constexpr std::string_view KeeperChanged = "另一张图片已不在原处或已改变";
constexpr std::string_view TrashFailed = "无法移至回收站：";
constexpr std::string_view MoveFailed = "无法移动：";
constexpr std::string_view NameTaken = "目标文件夹已有同名文件";
constexpr std::string_view DeleteFailed = "无法删除：";
constexpr std::string_view NotRecorded = "已处理，但无法记下以便撤销，批量处理已停止：";

std::string Reason(std::string_view what, int error) { return std::string(what) + std::strerror(error); }

// The keeper is the copy that stays: it must still be the file the scan found, unchanged,
// or acting on the target could remove the last copy of the picture. stat follows links
// as the walk did.
bool StillAsScanned(const Catalogue& catalogue, std::int32_t picture) {
  const TPicInfo& info = catalogue.PicList.at(static_cast<std::size_t>(picture));
  struct stat st {};
  if (::stat(catalogue.FullPath(picture).c_str(), &st) != 0) return false;
  return FileIdentity{st.st_dev, st.st_ino} == info.Identity && st.st_size == info.Size &&
         ToDosDateTime(st.st_mtime) == info.Time;
}

// What one action did: a failure's reason, or (on success) the journal's entry if any.
struct ActionResult {
  std::string Failure;
  std::optional<JournalEntry> Entry;
};

ActionResult Act(const std::string& path, const std::string& name, BatchAction action, const std::string& folder) {
  switch (action) {
    case BatchAction::Trash: {
      // As the window's delete does: a read-only file goes too.
      ClearReadOnly(path);
      std::string trashed;
      if (const int error = MoveToTrash(path, &trashed)) return {Reason(TrashFailed, error), {}};
      return {{}, JournalEntry{JournalEntry::Kind::Trash, path, trashed}};
    }
    case BatchAction::MoveToFolder: {
      const std::string destination = WithTrailingSlash(folder) + name;
      if (const int error = MoveFileNoReplace(path, destination))
        return {error == EEXIST ? std::string(NameTaken) : Reason(MoveFailed, error), {}};
      return {{}, JournalEntry{JournalEntry::Kind::Move, path, destination}};
    }
    case BatchAction::Delete:
      ClearReadOnly(path);
      if (const int error = ShellDeleteFile(path, false)) return {Reason(DeleteFailed, error), {}};
      return {};
  }
  return {};
}

// Why the target must be left alone now; empty when it may be acted on.
std::string_view Hindrance(const Catalogue& catalogue, const BatchTarget& target, const std::string& path) {
  if (IdentityOf(path) != catalogue.PicList.at(static_cast<std::size_t>(target.Picture)).Identity) return TargetChanged;
  if (!StillAsScanned(catalogue, target.Keeper)) return KeeperChanged;
  return {};
}

// Acts on one target; false when the batch must stop because the journal cannot be written.
bool RunOne(Catalogue& catalogue, const BatchTarget& target, BatchAction action, const std::string& folder,
            BatchJournal& journal, BatchOutcome& outcome) {
  const std::string path = catalogue.FullPath(target.Picture);
  if (const std::string_view hindrance = Hindrance(catalogue, target, path); !hindrance.empty()) {
    outcome.Failures.push_back({path, std::string(hindrance)});
    return true;
  }
  const std::string& name = catalogue.PicList.at(static_cast<std::size_t>(target.Picture)).FileName;
  ActionResult result = Act(path, name, action, folder);
  if (!result.Failure.empty()) {
    outcome.Failures.push_back({path, std::move(result.Failure)});
    return true;
  }
  ++outcome.Succeeded;
  catalogue.RemovePicturePairs(target.Picture);
  if (!result.Entry) return true;
  try {
    journal.Record(*result.Entry);
  } catch (const std::runtime_error& error) {
    // Going on would act on files that no undo could put back.
    outcome.Failures.push_back({path, std::string(NotRecorded) + error.what()});
    return false;
  }
  return true;
}

}  // namespace

BatchOutcome RunBatch(Catalogue& catalogue, const std::vector<BatchTarget>& targets, BatchAction action,
                      const std::string& folder, BatchJournal& journal,
                      const std::function<bool(const BatchProgress&)>& onStep) {
  journal.Begin();
  BatchOutcome outcome;
  for (std::size_t done = 0; done < targets.size();) {
    const bool recorded = RunOne(catalogue, targets[done], action, folder, journal, outcome);
    ++done;
    const bool goOn = (!onStep || onStep(BatchProgress{done, targets.size()})) && recorded;
    if (!goOn && done < targets.size()) {
      outcome.Stopped = true;
      break;
    }
  }
  return outcome;
}

}  // namespace tessimar
