// The main window: folder list, scan command, progress, the menu, and the results pane
// (preview, results list, file actions, export) in its panels. It owns the catalogue of
// the last scan and the one "scanning" state that every handler reachable from the
// scan's event pumping checks, the results pane's through ResultsPaneHost.
#pragma once

#include <QMainWindow>
#include <QUrl>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/results_pane_host.h"
#include "catalogue/catalogue.h"
#include "settings/settings.h"
#include "update/update_form.h"

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QTimer;
class QToolButton;

namespace tessimar {

class ClickableLabel;
class PictureCache;
class ResultsPane;
class ScanRun;
class TAboutForm;
class TFolderDialog;
class TSettingsForm;
class WindowScanHost;

class TMainForm : public QMainWindow, private ResultsPaneHost {
  Q_OBJECT

 public:
  // versionUrl, downloadPageUrl: what the update window asks and offers.
  explicit TMainForm(QUrl versionUrl = DefaultVersionUrl(), QUrl downloadPageUrl = DefaultDownloadPageUrl());
  ~TMainForm() override;

  // The pictures and pairs of the last scan, for the results review.
  Catalogue& Pictures() { return catalogue_; }
  // Enables what a scan disabled; the file actions return here too.
  void ShowIdleState() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Building the window (main_form_layout.cpp).
  void CreateMenu();
  QWidget* CreateTopPanel();
  void CreatePanel2(QFrame* panel);
  QWidget* CreateCentralPanel();
  void CreateSearchPanel();
  QWidget* CreateBottomPanel();
  void NameRegions();
  void FormResize();
  void CentralPanelResize();
  void AlignCentralPanel();

  // Start-up, menu and close (main_form.cpp).
  void FormCreate();
  void CreateDialogs(QUrl versionUrl, QUrl downloadPageUrl);
  void FormShow();
  void FormCloseQuery();
  void WriteSettingsFile() const;
  void Settings1Click();
  void About1Click();
  void CheckforUpdates1Click();
  void Exit1Click();

  // The scan (main_form_scan.cpp).
  bool Scanning() const override { return scanning_; }
  void StartButtonClick();
  void RunScan();
  void BeginScan();
  bool ScanAndEnd(const std::vector<std::string>& folders);
  void EndScan();
  void ShowBusyState();
  void SetScanControlsEnabled(bool enabled);
  void SetStartCaption(const QString& caption);
  void Timer1Timer();
  std::vector<std::string> ListedFolders() const;

  // The folder list (main_form_folders.cpp).
  void AddFolderButtonClick();
  void RemoveFolderButtonClick();
  void MoveFolderUpButtonClick();
  void MoveFolderDownButtonClick();
  void ClearDirectoriesButtonClick();
  bool DirectoriesListBoxKeyDown(const QKeyEvent& key);
  void Label1Click();
  void DropFiles(const QList<QUrl>& urls);
  void LeavePlaceholder();
  void ShowPlaceholder(const QString& hint);
  void AppendFolder(const QString& folder);
  int SelectedFolderIndex() const;
  void MoveFolder(int from, int to);

  Catalogue catalogue_;
  TSettings Settings;
  std::string DataFolder;
  bool FolderListEmpty = true;
  bool AutoCheckPending = false;
  bool scanning_ = false;
  // Closed during a scan: the catalogue is released once the scan has unwound.
  bool closing_ = false;
  bool shown_ = false;
  std::uint32_t ScanStartTicks = 0;
  std::unique_ptr<WindowScanHost> host_;
  std::unique_ptr<PictureCache> cache_;  // nullptr when the cache cannot be had
  std::unique_ptr<ScanRun> scan_;

  QMenu* File1 = nullptr;
  QAction* StartSearch1 = nullptr;
  QAction* SavelistofdupliacatestoCSV1 = nullptr;
  QAction* BatchMenuItem = nullptr;
  QAction* UndoBatchMenuItem = nullptr;
  QAction* Settings1 = nullptr;
  QAction* About1 = nullptr;
  QListWidget* DirectoriesListBox = nullptr;
  QToolButton* AddFolderButton = nullptr;
  QToolButton* RemoveFolderButton = nullptr;
  QToolButton* MoveFolderUpButton = nullptr;
  QToolButton* MoveFolderDownButton = nullptr;
  QToolButton* ClearDirectoriesButton = nullptr;
  QPushButton* StartButton = nullptr;
  QCheckBox* ScanSubfoldersCheckBox = nullptr;
  ClickableLabel* Label1 = nullptr;
  QFrame* CentralPanel = nullptr;
  QFrame* SearchPanel = nullptr;
  QLabel* FilesCountLabel = nullptr;
  QLabel* CurrentDuplicatesFoundLabel = nullptr;
  QLabel* TimeLabel = nullptr;
  QLabel* ScannedCountLabel = nullptr;
  QLabel* DuplicatesFoundLabel = nullptr;
  ResultsPane* pane_ = nullptr;
  QTimer* Timer1 = nullptr;
  TFolderDialog* AddFolderDialog = nullptr;
  TAboutForm* AboutForm = nullptr;
  TSettingsForm* SettingsForm = nullptr;
  TUpdateForm* UpdateForm = nullptr;
};

}  // namespace tessimar
