// The main window's start-up, menu commands and close.
#include "app/main_form.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QLocale>
#include <QMenuBar>
#include <QSplitter>
#include <QTimer>

#include "analysis/analysis_pipeline.h"
#include "app/about_form.h"
#include "app/main_form_texts.h"
#include "app/results_pane.h"
#include "app/settings_form.h"
#include "app/tessimar_application.h"
#include "app/window_scan_host.h"
#include "cache/cache_location.h"
#include "cache/sqlite_picture_cache.h"
#include "platform/trash_folders.h"
#include "scan/scan_run.h"
#include "settings/data_folder.h"
#include "settings/settings_store.h"
#include "widgets/fixed_form.h"
#include "widgets/folder_dialog.h"
#include "widgets/minimum_frame_size.h"

namespace tessimar {
namespace {

constexpr QSize ClientSize(1035, 861);
// The whole window, frame included.
constexpr QSize MinimumSize(785, 615);
constexpr int TopPanelHeight = 157;
constexpr int BottomPanelHeight = 204;
constexpr int SplitterHeight = 12;

// The window scans without the cache when it cannot be had, and says nothing of it: the
// cache only saves time.
std::unique_ptr<PictureCache> OpenCache() {
  try {
    return std::make_unique<SqlitePictureCache>(CacheFile());
  } catch (const CacheError&) {
    return nullptr;
  }
}

}  // namespace

TMainForm::TMainForm(QUrl versionUrl, QUrl downloadPageUrl) {
  setObjectName("MainForm");
  setWindowTitle(QStringLiteral("Tessimar"));
  setFont(TahomaFont(14));
  CreateMenu();
  auto* splitter = new QSplitter(Qt::Vertical, this);
  QWidget* top = CreateTopPanel();
  QWidget* central = CreateCentralPanel();
  QWidget* bottom = CreateBottomPanel();
  AddFolderDialog = new TFolderDialog(this);
  AddFolderDialog->SetOptions(TFolderDialog::fdoReturnOnlyFSDirs | TFolderDialog::fdoNewDialogStyle);
  // The results pane builds its controls into the central and bottom panels before these
  // join the splitter, so that the tab order runs through them as through the panels.
  pane_ = new ResultsPane(*this, catalogue_, Settings, *AddFolderDialog,
                          {*this, *CentralPanel, *bottom, *SavelistofdupliacatestoCSV1, *BatchMenuItem,
                           *UndoBatchMenuItem});
  connect(File1, &QMenu::aboutToShow, pane_, &ResultsPane::RefreshBatchItems);
  splitter->addWidget(top);
  splitter->addWidget(central);
  splitter->addWidget(bottom);
  splitter->setHandleWidth(SplitterHeight);
  splitter->handle(1)->setObjectName("Splitter1");
  splitter->handle(2)->setObjectName("Splitter2");
  splitter->setChildrenCollapsible(false);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({TopPanelHeight, ClientSize.height() - TopPanelHeight - 2 * SplitterHeight - BottomPanelHeight,
                      BottomPanelHeight});
  setCentralWidget(splitter);
  NameRegions();
  resize(ClientSize.width(), ClientSize.height() + menuBar()->sizeHint().height());
  new MinimumFrameSize(*this, MinimumSize);
  Timer1 = new QTimer(this);
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);
  FormCreate();
  CreateDialogs(std::move(versionUrl), std::move(downloadPageUrl));
}

TMainForm::~TMainForm() = default;

void TMainForm::FormCreate() {
  TrashFolders trash = TrashFolders::OfThisSystem();
  setAcceptDrops(true);
  const std::string groupSeparator = QLocale::system().groupSeparator().toStdString();
  host_ = std::make_unique<WindowScanHost>(
      *this, ScanLabels{FilesCountLabel, CurrentDuplicatesFoundLabel, ScannedCountLabel, DuplicatesFoundLabel},
      *ScanSubfoldersCheckBox);
  cache_ = OpenCache();
  // One analysis worker per core; the window's thread keeps the comparisons and the events.
  scan_ = std::make_unique<ScanRun>(catalogue_, Settings, *host_, std::move(trash), groupSeparator, cache_.get(),
                                    DefaultJobs());
  ShowPlaceholder(StartupHint);
  DataFolder = tessimar::DataFolder();
  const StoredSettings stored = LoadSettings(DataFolder + std::string(SettingsFileName));
  Settings = stored.Settings;
  ScanSubfoldersCheckBox->setChecked(stored.ScanSubfolders);
  ShowIdleState();
  AutoCheckPending = Settings.AutoCheckUpdates;
}

void TMainForm::CreateDialogs(QUrl versionUrl, QUrl downloadPageUrl) {
  AboutForm = new TAboutForm(this);
  SettingsForm = new TSettingsForm(Settings, this);
  UpdateForm = new TUpdateForm(std::move(versionUrl), std::move(downloadPageUrl), AutoCheckPending, this);
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  CentreOnScreen(*this);
  // Once the window is on screen, not from inside its showing.
  QTimer::singleShot(0, this, &TMainForm::FormShow);
}

void TMainForm::FormShow() {
  if (AutoCheckPending && Settings.AutoCheckUpdates) UpdateForm->exec();
}

// A close during a sort or a batch waits for it: the sort's second pass needs the pair list
// as its first pass left it, and a batch is acting on the files of the catalogue.
void TMainForm::closeEvent(QCloseEvent* event) {
  if (pane_->Rewriting()) {
    pane_->CloseWindowAfterRewrite();
    event->ignore();
    return;
  }
  FormCloseQuery();
  event->accept();
}

// A close during a scan arrives through the scan's event pumping: the scan is told to
// stop and the catalogue it is still walking is released only once it has unwound.
// Closing always goes on: a settings file that cannot be written is reported, but must
// not keep the user in the window.
void TMainForm::FormCloseQuery() {
  pane_->ClearList();
  scan_->ScanStopped = true;
  try {
    WriteSettingsFile();
  } catch (const std::exception& error) {
    ReportException(error);
  }
  if (scanning_) {
    closing_ = true;
  } else {
    catalogue_.Release();
  }
}

void TMainForm::WriteSettingsFile() const {
  SaveSettings(DataFolder + std::string(SettingsFileName), {Settings, ScanSubfoldersCheckBox->isChecked()});
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == CentralPanel && event->type() == QEvent::Resize) {
    FormResize();
    CentralPanelResize();
  } else if (watched == DirectoriesListBox && event->type() == QEvent::KeyPress) {
    return DirectoriesListBoxKeyDown(static_cast<const QKeyEvent&>(*event));
  }
  return QMainWindow::eventFilter(watched, event);
}

void TMainForm::Settings1Click() {
  if (scanning_) return;
  SettingsForm->exec();
}

void TMainForm::About1Click() {
  if (scanning_) return;
  AboutForm->exec();
}

// Stays open during a scan: the update window then holds the scan until it closes.
void TMainForm::CheckforUpdates1Click() { UpdateForm->exec(); }

void TMainForm::Exit1Click() {
  close();
  QCoreApplication::quit();
}

}  // namespace tessimar
