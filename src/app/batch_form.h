// The batch clean-up dialog: which picture of each pair to act on, from which similarity
// on, which folders are never touched and what to do with the files. It shows at every
// change how many files and bytes the choice selects, and asks once more before it closes
// with OK. It acts on nothing itself.
#pragma once

#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

#include "review/batch_plan.h"
#include "review/batch_run.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace tessimar {

class Catalogue;
class TFolderDialog;
struct TSettings;

class TBatchForm : public QDialog {
  Q_OBJECT

 public:
  // protectedFolders: full paths, each ending in '/'. The catalogue must not change while
  // the dialog is open: its plan is the one the user confirmed.
  TBatchForm(const Catalogue& catalogue, const TSettings& settings, TFolderDialog& folderDialog,
             std::vector<std::string> protectedFolders, QWidget* parent = nullptr);

  // The choice, valid once the dialog was accepted.
  const BatchRule& Rule() const { return rule_; }
  const std::vector<BatchTarget>& Targets() const { return targets_; }
  BatchAction Action() const;
  // The destination of a move, ending in '/'.
  const std::string& MoveFolder() const { return moveFolder_; }

 private:
  QWidget* CreateChoiceBox();
  QWidget* CreateSimilarityBox();
  QWidget* CreateProtectedBox();
  QWidget* CreateActionBox();
  QWidget* CreateButtons();
  void AddProtectedButtonClick();
  void RemoveProtectedButtonClick();
  void MoveFolderButtonClick();
  // Plans the batch again from the controls and shows what it selects.
  void Refresh();
  void OKButtonClick();
  QString Confirmation() const;

  const Catalogue& catalogue_;
  TFolderDialog& folderDialog_;
  BatchRule rule_;
  std::vector<BatchTarget> targets_;
  std::int64_t bytes_ = 0;
  std::string moveFolder_;

  QRadioButton* LesserRadio = nullptr;
  QRadioButton* SecondRadio = nullptr;
  QRadioButton* FirstRadio = nullptr;
  QSpinBox* MinSimilarityEdit = nullptr;
  QListWidget* ProtectedList = nullptr;
  QPushButton* AddProtectedButton = nullptr;
  QPushButton* RemoveProtectedButton = nullptr;
  QRadioButton* TrashRadio = nullptr;
  QRadioButton* MoveRadio = nullptr;
  QLineEdit* MoveFolderEdit = nullptr;
  QPushButton* MoveFolderButton = nullptr;
  QRadioButton* DeleteRadio = nullptr;
  QLabel* SelectionLabel = nullptr;
  QPushButton* OKButton = nullptr;
  QPushButton* CancelButton = nullptr;
};

}  // namespace tessimar
