// The settings dialog: edits the in-memory settings, apart from SearchSimilar and the
// subfolder switch of the main window. Writing the settings file is the main window's job.
#pragma once

#include <QDialog>
#include <array>
#include <utility>

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
  // The ten check boxes with their settings, in the order they are copied.
  std::array<std::pair<QCheckBox*, bool TSettings::*>, 10> CheckBoxSettings() const;
  void FormShow();
  void OKButtonClick();
  void StoreControls();
  void CancelButtonClick();
  static bool MinWidthEditKeyPress(const QKeyEvent& key);

  TSettings& Settings;
  QGroupBox* GroupBox1 = nullptr;
  QCheckBox* BMPCheckBox = nullptr;
  QCheckBox* JPGCheckBox = nullptr;
  QCheckBox* GIFCheckBox = nullptr;
  QCheckBox* PNGCheckBox = nullptr;
  QCheckBox* TIFFCheckBox = nullptr;
  QCheckBox* CR2CheckBox = nullptr;
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
