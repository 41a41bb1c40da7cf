// The main window: folder list, scan command, progress and preview area, results list
// and the menu. It owns the catalogue of the last scan and the one "scanning" state
// that every handler reachable from the scan's event pumping checks.
#pragma once

#include <QMainWindow>
#include <QUrl>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "settings/settings.h"
#include "update/update_form.h"

class QAction;
class QCheckBox;
class QFileDialog;
class QFrame;
class QLabel;
class QListWidget;
class QPushButton;
class QTableView;
class QTimer;
class QToolButton;

namespace tessimar {

class ClickableLabel;
class PairListModel;
class PictureCache;
class PreviewImage;
class ScanRun;
class TAboutForm;
class TFolderDialog;
class TSettingsForm;
class WindowScanHost;

class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  // versionUrl, downloadPageUrl: what the update window asks and offers.
  explicit TMainForm(QUrl versionUrl = DefaultVersionUrl(), QUrl downloadPageUrl = DefaultDownloadPageUrl());
  ~TMainForm() override;

  // The pictures and pairs of the last scan, for the results review.
  Catalogue& Pictures() { return catalogue_; }
  // Enables what a scan disabled; the file actions return here too.
  void ShowIdleState();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The controls of one picture of the preview (1 left, 2 right).
  struct ImageSide {
    QFrame* Panel = nullptr;
    PreviewImage* Image = nullptr;
    QFrame* TextPanel = nullptr;
    QLabel* Label = nullptr;
    QFrame* ButtonsPanel = nullptr;
    QToolButton* MoveButton = nullptr;
    QToolButton* BrowseButton = nullptr;
    QToolButton* DeleteButton = nullptr;
  };

  // Building the window (main_form_layout.cpp).
  void CreateMenu();
  QWidget* CreateTopPanel();
  void CreatePanel2(QFrame* panel);
  QWidget* CreateCentralPanel();
  void CreateSearchPanel();
  ImageSide CreateImageSide(int side);
  void CreateBetweenImagesPanel();
  QWidget* CreateBottomPanel();
  void NameRegions();
  void FormResize();
  void CentralPanelResize();
  void AlignCentralPanel();
  void AlignImageTextPanel(const ImageSide& side);

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

  // The results list, the preview and the sort (main_form_review.cpp).
  void ConnectReview();
  // True while a scan or a sort runs: nothing may then change or read the pair list.
  bool Busy() const { return scanning_ || sorting_; }
  int SelectedRow() const;
  void BeginListUpdate();
  void EndListUpdate(int rows);
  void ListView1Click();
  void RefreshPreview();
  void ShowPreviewPicture(const ImageSide& side, std::int32_t picture);
  bool ListView1KeyDown(const QKeyEvent& key);
  bool ListView1KeyUp(const QKeyEvent& key);
  void ListView1ColumnClick(int column);
  void SizeListColumns();
  void SwapImagesButtonClick();
  void OpenPicture(int side);
  void LightCaption(QObject* button, bool lit);
  void ShowSamplePictures();

  // Moving, deleting and showing a picture's file (main_form_actions.cpp).
  struct ActionTarget {
    int Row;
    std::int32_t Picture;
    std::string Path;
    QString Name;
    FileIdentity Identity;  // the file the scan found at Path
  };
  std::optional<ActionTarget> ActionPreamble(int side);
  bool StillScannedFile(const ActionTarget& target);
  void MoveImageButtonClick(int side);
  void DeleteImageButtonClick(int side);
  void BrowseImageButtonClick(int side);
  void FinishFileAction(int row);

  // Saving the pair list (main_form_export.cpp).
  void SavelistofdupliacatestoCSV1Click();
  QString AskCsvFileName();

  Catalogue catalogue_;
  TSettings Settings;
  std::string DataFolder;
  bool FolderListEmpty = true;
  bool AutoCheckPending = false;
  bool scanning_ = false;
  bool sorting_ = false;
  // Closed during a sort: the window closes once the sort is over.
  bool closeAfterSort_ = false;
  std::int32_t SortColumn = 0;
  bool SortReverse = false;
  // Closed during a scan: the catalogue is released once the scan has unwound.
  bool closing_ = false;
  bool shown_ = false;
  std::uint32_t ScanStartTicks = 0;
  std::unique_ptr<WindowScanHost> host_;
  std::unique_ptr<PictureCache> cache_;  // nullptr when the cache cannot be had
  std::unique_ptr<ScanRun> scan_;

  QAction* StartSearch1 = nullptr;
  QAction* SavelistofdupliacatestoCSV1 = nullptr;
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
  ImageSide side1_;
  ImageSide side2_;
  QFrame* BetweenImagesPanel = nullptr;
  QLabel* PercentLabel = nullptr;
  QToolButton* SwapImagesButton = nullptr;
  QLabel* ScannedCountLabel = nullptr;
  QLabel* DuplicatesFoundLabel = nullptr;
  QTableView* ListView1 = nullptr;
  PairListModel* listModel_ = nullptr;
  QTimer* Timer1 = nullptr;
  TFolderDialog* AddFolderDialog = nullptr;
  QFileDialog* SaveCSVFileDialog = nullptr;
  TAboutForm* AboutForm = nullptr;
  TSettingsForm* SettingsForm = nullptr;
  TUpdateForm* UpdateForm = nullptr;
};

}  // namespace tessimar
