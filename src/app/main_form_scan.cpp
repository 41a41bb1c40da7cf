// One scan as the main window runs it: the same command starts and stops it, the
// window is busy meanwhile, and the closing message tells how it ended.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <chrono>

#include "app/main_form.h"
#include "app/main_form_texts.h"
#include "app/message_boxes.h"
#include "app/results_pane.h"
#include "app/summary_labels.h"
#include "matching/match_texts.h"
#include "scan/scan_run.h"
#include "scan/scan_texts.h"

namespace tessimar {
namespace {

// Both states pause so that a flickering start or end reads as one change.
constexpr unsigned long StatePause = 100;

// Milliseconds in 32-bit unsigned arithmetic, so that a wrap does no harm to a difference.
std::uint32_t TickCount() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

QString Text(std::string_view prefix, std::string_view value) {
  return QString::fromUtf8(prefix.data(), static_cast<qsizetype>(prefix.size())) +
         QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
}

}  // namespace

// A press during a scan, however it arrives, only asks the scan to stop; during a sort or
// a batch it is refused, as a new scan would replace the pair list being rewritten.
void TMainForm::StartButtonClick() {
  if (pane_->Rewriting()) return;
  if (scanning_) {
    scan_->ScanStopped = true;
    return;
  }
  RunScan();
}

void TMainForm::RunScan() {
  const std::vector<std::string> folders = ListedFolders();
  if (!scan_->CheckPreconditions(folders, FolderListEmpty)) return;
  BeginScan();
  if (ScanAndEnd(folders)) pane_->ShowFirstPair();
}

void TMainForm::BeginScan() {
  scanning_ = true;
  ShowBusyState();
  scan_->ScanStopped = false;
  ScanStartTicks = TickCount();
  Timer1->start();
  pane_->BeginScan();
}

// Runs the scan and its end; false when it ended by an error, which is then reported.
bool TMainForm::ScanAndEnd(const std::vector<std::string>& folders) {
  QString failure;
  try {
    scan_->Run(folders);
  } catch (const std::exception& error) {
    failure = QString::fromUtf8(error.what());
  }
  // A close during the scan has emptied the list for good.
  pane_->EndScan(!closing_);
  EndScan();
  if (failure.isNull()) return true;
  Messages().Error(this, failure);
  return false;
}

void TMainForm::EndScan() {
  Timer1->stop();
  ShowIdleState();
  // Whoever closed the window is not waiting for a report.
  if (!closing_) {
    const std::string message =
        ClosingMessage(scan_->ScanStopped, FilesCountLabel->text().toStdString(),
                       CurrentDuplicatesFoundLabel->text().toStdString(), TimeLabel->text().toStdString());
    Messages().Information(this, QString::fromStdString(message));
  }
  scan_->ScanStopped = true;
  scanning_ = false;
  if (closing_) catalogue_.Release();
}

void TMainForm::ShowBusyState() {
  SetScanControlsEnabled(false);
  ScannedCountLabel->setText(Text(ScannedCountPrefix, "0"));
  DuplicatesFoundLabel->setText(Text(DuplicatesFoundPrefix, "0"));
  PlaceSummaryLabels(*ScannedCountLabel, *DuplicatesFoundLabel);
  pane_->ShowNoPair();
  SetStartCaption(StopCaption);
  SearchPanel->resize(CentralPanel->width(), CentralPanel->height());
  FilesCountLabel->setText(Text(FilesCountPrefix, "0 / 0"));
  CurrentDuplicatesFoundLabel->setText(Text(CurrentDuplicatesPrefix, "0"));
  TimeLabel->setText(Text(TimePrefix, ElapsedText(0)));
  CentralPanelResize();
  QThread::msleep(StatePause);
}

void TMainForm::ShowIdleState() {
  SetScanControlsEnabled(true);
  SetStartCaption(StartCaption);
  SearchPanel->resize(CentralPanel->width(), 0);
  AlignCentralPanel();
  QThread::msleep(StatePause);
}

// The placeholder keeps the folder list disabled whatever the state.
void TMainForm::SetScanControlsEnabled(bool enabled) {
  DirectoriesListBox->setEnabled(enabled && !FolderListEmpty);
  for (QWidget* control : std::initializer_list<QWidget*>{AddFolderButton, RemoveFolderButton, MoveFolderUpButton,
                                                          MoveFolderDownButton, ClearDirectoriesButton}) {
    control->setEnabled(enabled);
  }
  pane_->SetEnabled(enabled);
  ScanSubfoldersCheckBox->setEnabled(enabled);
  Settings1->setEnabled(enabled);
  About1->setEnabled(enabled);
}

void TMainForm::SetStartCaption(const QString& caption) {
  StartButton->setText(caption);
  StartSearch1->setText(caption);
}

void TMainForm::Timer1Timer() {
  if (!scan_->ScanStopped) TimeLabel->setText(Text(TimePrefix, ElapsedText(TickCount() - ScanStartTicks)));
}

std::vector<std::string> TMainForm::ListedFolders() const {
  std::vector<std::string> folders;
  for (int i = 0; i < DirectoriesListBox->count(); ++i) {
    folders.push_back(DirectoriesListBox->item(i)->text().toStdString());
  }
  return folders;
}

}  // namespace tessimar
