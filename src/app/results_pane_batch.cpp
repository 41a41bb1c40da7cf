// The batch clean-up from the File menu: the dialog chooses, the core acts, the list shows
// what is left; and the undo of the last batch.
#include <QAction>
#include <QScopeGuard>

#include "app/batch_form.h"
#include "app/batch_progress.h"
#include "app/batch_report.h"
#include "app/message_boxes.h"
#include "app/pair_list_model.h"
#include "app/results_pane.h"
#include "app/results_pane_host.h"
#include "app/tessimar_application.h"
#include "catalogue/catalogue.h"
#include "review/batch_undo.h"
#include "settings/settings_store.h"

namespace tessimar {

void ResultsPane::RefreshBatchItems() { EnableBatchItems(!host_.Scanning()); }

// idle: no scan runs.
void ResultsPane::EnableBatchItems(bool idle) {
  const bool free = idle && !rewriting_;
  batchItem_.setEnabled(free && listModel_->rowCount() > 0);
  undoItem_.setEnabled(free && Undoable());
}

// A journal that cannot be read leaves the command enabled: the undo then says why.
bool ResultsPane::Undoable() const {
  try {
    return HasUndoableBatch(journal_);
  } catch (const std::exception&) {
    return true;
  }
}

void ResultsPane::BatchClick() {
  if (Busy() || listModel_->rowCount() == 0) return;
  const std::vector<std::string> protectedFolders = LoadProtectedFolders(settingsFile_);
  TBatchForm form(catalogue_, settings_, folderDialog_, protectedFolders, &window_);
  const int answer = form.exec();
  if (form.Rule().ProtectedFolders != protectedFolders) KeepProtectedFolders(form.Rule().ProtectedFolders);
  // A close while the dialog was open has emptied the list for good.
  if (answer != QDialog::Accepted || listModel_->rowCount() == 0) return;
  BatchOutcome outcome;
  const bool windowOpen = RewritePairs([&] {
    BatchProgressDialog progress(window_, form.Targets().size());
    // A close stops the batch after the file at hand; the window then closes.
    outcome = RunBatch(catalogue_, form.Targets(), form.Action(), form.MoveFolder(), journal_,
                       [&](const BatchProgress& step) { return progress.Step(step) && !closeAfterRewrite_; });
  });
  if (!windowOpen) return;
  const BatchReport report = RunReport(outcome, form.Action(), form.MoveFolder());
  Messages().Report(&window_, report.Text, report.Details);
}

// Kept whether or not the batch runs: a folder the user took care to protect stays protected.
// A settings file that cannot take them is reported; the batch still keeps to them.
void ResultsPane::KeepProtectedFolders(const std::vector<std::string>& folders) {
  try {
    SaveProtectedFolders(settingsFile_, folders);
  } catch (const std::exception& error) {
    ReportException(error);
  }
}

// The files come back, their pairs do not: only a new scan finds them again.
void ResultsPane::UndoBatchClick() {
  if (Busy() || !HasUndoableBatch(journal_)) return;
  if (!Messages().Confirm(&window_, QStringLiteral("将上次批量处理移走的文件放回原处，确定吗？"))) return;
  const BatchReport report = UndoReport(UndoLastBatch(journal_));
  RefreshBatchItems();
  Messages().Report(&window_, report.Text, report.Details);
}

bool ResultsPane::RewritePairs(const std::function<void()>& change) {
  const int row = SelectedRow();
  rewriting_ = true;
  BeginListUpdate();
  {
    const auto finish = qScopeGuard([&] {
      rewriting_ = false;
      FinishFileAction(row);
    });
    change();
  }
  if (!std::exchange(closeAfterRewrite_, false)) return true;
  window_.close();
  return false;
}

}  // namespace tessimar
