// The update window: asks the update host which version is current and says whether a
// newer one exists. Each showing runs one check.
#pragma once

#include <QDialog>
#include <QUrl>

class QLabel;
class QNetworkAccessManager;
class QNetworkReply;
class QPushButton;
class QTimer;

namespace tessimar {

// The version file on the update host and the site's start page, from the build's host names.
QUrl DefaultVersionUrl();
QUrl DefaultDownloadPageUrl();

class TUpdateForm : public QDialog {
  Q_OBJECT

 public:
  // Values of UpdateCheckState.
  static constexpr int CheckRunning = 0;
  static constexpr int CheckAnswered = 1;  // also: the window is being closed
  static constexpr int CheckFailed = 2;

  // autoCheckPending belongs to the main window: set while the next check is the
  // automatic one at start-up; cleared when a check ends.
  TUpdateForm(QUrl versionUrl, QUrl downloadPageUrl, bool& autoCheckPending,
              QWidget* parent = nullptr);

  int UpdateCheckState() const { return checkState_; }

 public slots:
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void CreateControls();
  void FormShow();
  void FormCloseQuery();
  void OKButtonClick();
  void DownloadButtonClick();
  void Timer1Timer();
  void IdHTTP1Work(qint64 bytesReceived);
  void ReplyFinished(QNetworkReply* reply);
  void ShowAnswer(const QString& body);
  void ShowFailure();
  void EndCheck();

  QUrl versionUrl_;
  QUrl downloadPageUrl_;
  bool& AutoCheckPending;
  int checkState_ = CheckAnswered;
  QLabel* UpdateStatusLabel = nullptr;
  QPushButton* DownloadButton = nullptr;
  QPushButton* OKButton = nullptr;
  QTimer* Timer1 = nullptr;
  QNetworkAccessManager* IdHTTP1 = nullptr;
  QNetworkReply* reply_ = nullptr;
};

}  // namespace tessimar
