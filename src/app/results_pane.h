// The results pane of the main window: the list of pairs and its sort, the preview of the
// selected pair, the file actions under each picture, the batch clean-up and the CSV
// export. Its controls sit in the window's own panels (the preview in the central panel,
// the list under the scan summary). Every handler that reads or changes the pair list can
// run inside the event pumping of the scan, the sort or a batch, and checks Busy(); the
// scan belongs to the window, which the pane asks through ResultsPaneHost.
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/pic_info.h"
#include "review/batch_journal.h"
#include "review/batch_run.h"

class QAction;
class QFileDialog;
class QFrame;
class QKeyEvent;
class QLabel;
class QRect;
class QTableView;
class QToolButton;
class QWidget;

namespace tessimar {

class Catalogue;
class PairListModel;
class PreviewImage;
class ResultsPaneHost;
class TFolderDialog;
struct TSettings;

// Where the pane's controls go in the window, and what of the window they use.
struct ResultsPanePlaces {
  QWidget& Window;       // parent of the pane's dialogs and message boxes, closed after a sort it waited for
  QFrame& PreviewArea;   // the preview's panels are children of it, placed by PlacePreview
  QWidget& ListPanel;    // the list joins the end of its layout
  QAction& SaveList;     // the menu command of the CSV export
  QAction& Batch;        // the menu commands of the batch clean-up and of its undo
  QAction& UndoBatch;
};

class ResultsPane : public QObject {
  Q_OBJECT

 public:
  // The pane reads the catalogue's pairs and the settings' delete switches as they are at
  // each action; the folder dialog is the window's, shared with the folder list.
  ResultsPane(ResultsPaneHost& host, Catalogue& catalogue, const TSettings& settings, TFolderDialog& folderDialog,
              ResultsPanePlaces places);

  // True while a sort or a batch lets events through with the pair list half rewritten.
  bool Rewriting() const { return rewriting_; }
  // A close that arrived meanwhile: the window is closed again once the rewrite is over.
  void CloseWindowAfterRewrite() { closeAfterRewrite_ = true; }
  // Enables the batch commands as the list and the last batch's journal now stand; for
  // the moment their menu opens.
  void RefreshBatchItems();

  // The window's scan: the list shows no pair and does not draw from BeginScan to EndScan,
  // which lists the scan's pairs unless the window is closing (listPairs false).
  void BeginScan();
  void EndScan(bool listPairs);
  // Selects the first pair, if there is one, and shows it.
  void ShowFirstPair();
  // Empties the list for good, as the window closes.
  void ClearList();
  // Enables or disables the list, the pictures, their buttons and the batch commands, as
  // the scan state goes.
  void SetEnabled(bool enabled);
  // The preview during a scan: no pictures, no information, 0 %.
  void ShowNoPair();

  // Gives the left picture its half of the preview's width; PlacePreview keeps it.
  void SetPreviewWidth(int width);
  // The two pictures and the panel between them fill area, the right one taking what the
  // left one leaves.
  void PlacePreview(const QRect& area);

 protected:
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

  // The selected row of the list and its pair.
  struct Selection {
    int Row;
    TPicturePair Pair;
    // The picture on side 1 (left) or 2 (right).
    std::int32_t Picture(int side) const { return side == 1 ? Pair.PicIndex1 : Pair.PicIndex2; }
  };

  // Building the pane (results_pane_layout.cpp).
  ImageSide CreateImageSide(QFrame& area, int side);
  void CreateBetweenImagesPanel(QFrame& area);
  void CreateList(QWidget& panel);
  void NameRegions();
  void AlignImageTextPanel(const ImageSide& side);
  void LightCaption(QObject* button, bool lit);
  void Connect(QAction& saveList);

  // The list, the preview and the sort (results_pane.cpp).
  // True while a scan or a sort runs: nothing may then change or read the pair list.
  bool Busy() const;
  // Nothing while busy, while the list is empty or when no row is selected.
  std::optional<Selection> Selected() const;
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
  void ShowSamplePictures();

  // Moving, deleting and showing a picture's file (results_pane_actions.cpp).
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

  // The batch clean-up and its undo (results_pane_batch.cpp).
  void EnableBatchItems(bool idle);
  bool Undoable() const;
  void BatchClick();
  void KeepProtectedFolders(const std::vector<std::string>& folders);
  void UndoBatchClick();
  // Runs change, which takes pairs out of the catalogue and lets events through; then the
  // list and the preview follow as after a file action. False when a close came meanwhile:
  // the window is closed then, and nobody waits for a report.
  bool RewritePairs(const std::function<void()>& change);

  // Saving the pair list (results_pane_export.cpp).
  void SavelistofdupliacatestoCSV1Click();
  QString AskCsvFileName();

  ResultsPaneHost& host_;
  Catalogue& catalogue_;
  const TSettings& settings_;
  TFolderDialog& folderDialog_;
  QWidget& window_;
  bool rewriting_ = false;
  // Closed during a sort or a batch: the window closes once it is over.
  bool closeAfterRewrite_ = false;
  QAction& batchItem_;
  QAction& undoItem_;
  BatchJournal journal_;
  std::string settingsFile_;  // where the protected folders are kept
  std::int32_t SortColumn = 0;
  bool SortReverse = false;

  ImageSide side1_;
  ImageSide side2_;
  QFrame* BetweenImagesPanel = nullptr;
  QLabel* PercentLabel = nullptr;
  QToolButton* SwapImagesButton = nullptr;
  QTableView* ListView1 = nullptr;
  PairListModel* listModel_ = nullptr;
  QFileDialog* SaveCSVFileDialog = nullptr;
};

}  // namespace tessimar
