// Moving, deleting and showing the file of one picture of the selected pair. A move or a
// delete that succeeds takes every pair of the picture out of the list; whatever happens,
// the list then selects the row at the same place and the preview follows it.
#include <QScopeGuard>
#include <QTableView>
#include <QThread>

#include "app/file_manager.h"
#include "app/main_form_texts.h"
#include "app/message_boxes.h"
#include "app/results_pane.h"
#include "app/results_pane_host.h"
#include "catalogue/catalogue.h"
#include "platform/file_identity.h"
#include "platform/move_file.h"
#include "platform/path_text.h"
#include "platform/shell_delete.h"
#include "settings/settings.h"
#include "widgets/folder_dialog.h"

namespace tessimar {
namespace {

// A short pause before the question, so that a double click does not answer it.
constexpr unsigned long PauseBeforeDelete = 200;

}  // namespace

// The picture of the selected pair on the button's side, if its file is still there.
std::optional<ResultsPane::ActionTarget> ResultsPane::ActionPreamble(int side) {
  const auto selected = Selected();
  if (!selected) return std::nullopt;
  const std::int32_t picture = selected->Picture(side);
  const TPicInfo& info = catalogue_.PicList.at(static_cast<std::size_t>(picture));
  const ActionTarget target{selected->Row, picture, catalogue_.FullPath(picture),
                            QString::fromStdString(info.FileName), info.Identity};
  if (!StillScannedFile(target)) return std::nullopt;
  return target;
}

// Another file put at the scanned file's name is not the one the user chose: to it the
// scanned file is missing. Checked again after every question, as the user may take long.
bool ResultsPane::StillScannedFile(const ActionTarget& target) {
  if (IdentityOf(target.Path) == target.Identity) return true;
  Messages().Error(&window_, MissingFileMessage + target.Name);
  return false;
}

void ResultsPane::MoveImageButtonClick(int side) {
  const auto target = ActionPreamble(side);
  if (!target) return;
  folderDialog_.SetCaption(MoveCaption.arg(target->Name));
  if (!folderDialog_.Execute() || !StillScannedFile(*target)) return;
  BeginListUpdate();
  const auto finish = qScopeGuard([&] { FinishFileAction(target->Row); });
  const std::string destination = WithTrailingSlash(folderDialog_.Directory().toStdString()) +
                                  catalogue_.PicList.at(static_cast<std::size_t>(target->Picture)).FileName;
  if (const int error = MoveFileNoReplace(target->Path, destination); error != 0) {
    Messages().Error(&window_, MoveFailedMessage.arg(target->Name).arg(error));
    return;
  }
  catalogue_.RemovePicturePairs(target->Picture);
  Messages().Information(&window_, MovedMessage.arg(target->Name));
}

void ResultsPane::DeleteImageButtonClick(int side) {
  const auto target = ActionPreamble(side);
  if (!target) return;
  QThread::msleep(PauseBeforeDelete);
  if (!settings_.DeleteWithoutAsking && !Messages().Confirm(&window_, DeleteQuestion + target->Name)) return;
  if (!StillScannedFile(*target)) return;
  BeginListUpdate();
  const auto finish = qScopeGuard([&] { FinishFileAction(target->Row); });
  ClearReadOnly(target->Path);
  if (const int error = ShellDeleteFile(target->Path, settings_.MoveToRecycle); error != 0) {
    Messages().Error(&window_, DeleteFailedMessage.arg(target->Name).arg(error));
    return;
  }
  catalogue_.RemovePicturePairs(target->Picture);
}

void ResultsPane::BrowseImageButtonClick(int side) {
  if (const auto selected = Selected()) ShowInFileManager(catalogue_.FullPath(selected->Picture(side)));
}

// Runs after every move or delete that got past its question, however it ended. The
// refresh reports its own errors: nothing may escape a scope guard.
void ResultsPane::FinishFileAction(int row) {
  EndListUpdate(catalogue_.PairListCapacity);
  if (catalogue_.PairListCapacity > 0) ListView1->selectRow(std::min(row, catalogue_.LastPairIndex));
  host_.ShowIdleState();
  ListView1Click();
}

}  // namespace tessimar
