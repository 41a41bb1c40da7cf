// A reusable folder chooser: a non-native file dialog in directory mode, opened at a
// preselected folder and at a chosen place, with an optional caption and a text above
// the folder tree. The owner (parent object) is the window it opens relative to.
#pragma once

#include <QFlags>
#include <QObject>
#include <QPoint>
#include <QString>

class QFileDialog;
class QWidget;

namespace tessimar {

class TFolderDialog : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(QString Title READ Title WRITE SetTitle)
  Q_PROPERTY(QString Directory READ Directory WRITE SetDirectory)
  Q_PROPERTY(int ImageIndex READ ImageIndex)
  Q_PROPERTY(TFolderOptions Options READ Options WRITE SetOptions)
  Q_PROPERTY(TDialogPosition DialogPosition READ DialogPosition WRITE SetDialogPosition)
  Q_PROPERTY(int DialogX READ DialogX WRITE SetDialogX)
  Q_PROPERTY(int DialogY READ DialogY WRITE SetDialogY)
  Q_PROPERTY(QString Version READ Version WRITE SetVersion)

 public:
  // Each option's value is its browse flag; Options() therefore converts to the OR of them.
  enum TOptions {
    fdoReturnOnlyFSDirs = 0x0001,
    fdoDontgoBelowDomain = 0x0002,
    fdoStatusText = 0x0004,
    fdoReturnFSAncestors = 0x0008,
    fdoEditBox = 0x0010,
    fdoNewDialogStyle = 0x0040,
    fdoNoNewFolderButton = 0x0200,
    fdoBrowseForComputer = 0x1000,
    fdoBrowseForPrinter = 0x2000,
  };
  Q_DECLARE_FLAGS(TFolderOptions, TOptions)
  Q_FLAG(TFolderOptions)

  enum TDialogPosition {
    fdpDefault,       // 20 pixels right of and below the owner window's top-left corner
    fdpScreenCenter,  // centred on the virtual desktop
    fdpXY,            // at DialogX, DialogY (negative values count as 0)
  };
  Q_ENUM(TDialogPosition)

  // Offset of fdpDefault from the owner window's corner.
  static constexpr int DefaultOffset = 20;

  explicit TFolderDialog(QObject* owner = nullptr);

  QString Caption() const { return FCaption; }
  void SetCaption(const QString& caption) { FCaption = caption; }
  QString Title() const { return FTitle; }
  void SetTitle(const QString& title) { FTitle = title; }
  QString Directory() const { return FDirectory; }
  void SetDirectory(const QString& directory) { FDirectory = directory; }
  int ImageIndex() const { return FImageIndex; }
  TFolderOptions Options() const { return FOptions; }
  void SetOptions(TFolderOptions options) { FOptions = options; }
  TDialogPosition DialogPosition() const { return FDialogPosition; }
  void SetDialogPosition(TDialogPosition position) { FDialogPosition = position; }
  int DialogX() const { return FDialogX; }
  void SetDialogX(int x) { FDialogX = x; }
  int DialogY() const { return FDialogY; }
  void SetDialogY(int y) { FDialogY = y; }
  QString Version() const;
  // The version is fixed: assigning it changes nothing.
  void SetVersion(const QString&) {}

  // Runs the chooser modally. True when a folder was chosen; Directory and ImageIndex then
  // hold the choice. A Directory that names no existing folder becomes the current
  // directory before the chooser opens, even if the user then cancels.
  bool Execute();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void PrepareBrowser(QFileDialog& browser) const;
  QPoint BrowserCorner(const QWidget& browser) const;

  QString FCaption;
  QString FTitle;
  QString FDirectory;
  int FImageIndex = 0;
  TFolderOptions FOptions = fdoNewDialogStyle;
  TDialogPosition FDialogPosition = fdpDefault;
  int FDialogX = 0;
  int FDialogY = 0;
  // The owner's window, chosen by Execute; fdpDefault counts from it (null: no window).
  QWidget* FParent = nullptr;
};

}  // namespace tessimar

Q_DECLARE_OPERATORS_FOR_FLAGS(tessimar::TFolderDialog::TFolderOptions)
