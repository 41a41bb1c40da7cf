// The settings dialog: edits the in-memory settings, apart from SearchSimilar and the
// subfolder switch of the main window. Writing the settings file is the main window's job.
#pragma once

#include <QDialog>
#include <array>
#include <utility>
#include <vector>

#include "settings/picture_types.h"
#include "settings/settings.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace tessimar {

class TSettingsForm : public QDialog {
  Q_OBJECT

 public:
  explicit TSettingsForm(TSettings& settings, QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateTypeBox();
  void CreateDeleteBox();
  void CreateSearchBox();
  void CreateApplicationBox();
  void CreateButtons();
  void SetTabOrder();
  // The check boxes with their settings, in the order they are copied.
  std::vector<std::pair<QCheckBox*, bool TSettings::*>> CheckBoxSettings() const;
  void FormShow();
  void OKButtonClick();
  void StoreControls();
  void CancelButtonClick();
  static bool MinWidthEditKeyPress(const QKeyEvent& key);

  TSettings& Settings;
  QGroupBox* GroupBox1 = nullptr;
  std::array<QCheckBox*, PictureTypes.size()> typeCheckBoxes_{};  // BMPCheckBox ... in the dialog's order
  QPushButton* OKButton = nullptr;
  QPushButton* CancelButton = nullptr;
  QCheckBox* RecycleCheckBox = nullptr;
  QCheckBox* SilentDeleteCheckBox = nullptr;
  QCheckBox* OnlyIdenticalCheckBox = nullptr;
  QLineEdit* MinWidthEdit = nullptr;
  QLineEdit* MinHeightEdit = nullptr;
  QCheckBox* CheckUpdatesCheckBox = nullptr;
};

}  // namespace tessimar
