// The scan host of the main window: the pump is the Qt event loop, captions go to the
// window's labels (the summary's two placed anew to fit their texts), the subfolder switch
// is its check box.
#pragma once

#include "platform/scan_host.h"

class QAbstractButton;
class QLabel;
class QWidget;

namespace tessimar {

struct ScanLabels {
  QLabel* FilesCount;
  QLabel* CurrentDuplicatesFound;
  QLabel* ScannedCount;
  QLabel* DuplicatesFound;
};

class WindowScanHost : public ScanHost {
 public:
  WindowScanHost(QWidget& window, ScanLabels labels, const QAbstractButton& scanSubfolders);

  void PumpMessages() override;
  void SetCaption(Caption caption, const std::string& text) override;
  bool ScanSubfolders() const override;
  void ShowError(const std::string& text) override;

 private:
  QWidget& window_;
  ScanLabels labels_;
  const QAbstractButton& scanSubfolders_;
};

}  // namespace tessimar
