#include "update/update_form.h"

#include <QDesktopServices>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <algorithm>
#include <iterator>
#include <utility>

#include "update/version_request.h"
#include "widgets/fixed_form.h"

namespace tessimar {

namespace {

constexpr int ClientWidth = 538;
constexpr int ClientHeight = 142;
constexpr int FontPixels = 14;
constexpr int AnimationMilliseconds = 250;
constexpr int OKButtonBesideLeft = 305;
const char CurrentVersion[] = TESSIMAR_VERSION;

// The status texts the timer cycles through while the check runs.
const QString CheckingTexts[] = {
    QStringLiteral("Checking for Update"), QStringLiteral("Checking for Update."),
    QStringLiteral("Checking for Update.."), QStringLiteral("Checking for Update...")};

}  // namespace

QUrl DefaultVersionUrl() {
  return QUrl(QStringLiteral("http://" TESSIMAR_UPDATE_HOST "/update/photo_version.txt"));
}

QUrl DefaultDownloadPageUrl() { return QUrl(QStringLiteral("http://" TESSIMAR_SITE_HOST "/")); }

TUpdateForm::TUpdateForm(QUrl versionUrl, QUrl downloadPageUrl, bool& autoCheckPending,
                         QWidget* parent)
    : QDialog(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      versionUrl_(std::move(versionUrl)),
      downloadPageUrl_(std::move(downloadPageUrl)),
      AutoCheckPending(autoCheckPending) {
  setObjectName(QStringLiteral("UpdateForm"));
  setWindowTitle(QStringLiteral("检查更新"));
  setFont(TahomaFont(FontPixels));
  setFixedSize(ClientWidth, ClientHeight);
  CreateControls();
  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(AnimationMilliseconds);
  connect(Timer1, &QTimer::timeout, this, &TUpdateForm::Timer1Timer);
  IdHTTP1 = new QNetworkAccessManager(this);
  IdHTTP1->setObjectName(QStringLiteral("IdHTTP1"));
  IdHTTP1->setProxy(QNetworkProxy::NoProxy);
  connect(IdHTTP1, &QNetworkAccessManager::finished, this, &TUpdateForm::ReplyFinished);
}

void TUpdateForm::CreateControls() {
  UpdateStatusLabel = new QLabel(QStringLiteral("检查更新"), this);
  UpdateStatusLabel->setObjectName(QStringLiteral("UpdateStatusLabel"));
  UpdateStatusLabel->setGeometry(10, 17, 527, 17);
  UpdateStatusLabel->setAlignment(Qt::AlignCenter);
  UpdateStatusLabel->setWordWrap(false);
  // The body comes from the network: shown as it came, never as markup.
  UpdateStatusLabel->setTextFormat(Qt::PlainText);
  DownloadButton =
      PlaceButton(this, "DownloadButton", QStringLiteral("前往下载页面"), {107, 55, 190, 43});
  OKButton = PlaceButton(this, "OKButton", QStringLiteral("关闭"), {305, 55, 137, 43});
  setTabOrder(DownloadButton, OKButton);
  connect(DownloadButton, &QPushButton::clicked, this, &TUpdateForm::DownloadButtonClick);
  connect(OKButton, &QPushButton::clicked, this, &TUpdateForm::OKButtonClick);
}

void TUpdateForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  CentreOnScreen(*this);
  FormShow();
}

void TUpdateForm::FormShow() {
  checkState_ = CheckRunning;
  setWindowTitle(QStringLiteral("检查更新"));
  UpdateStatusLabel->setText(CheckingTexts[0]);
  OKButton->hide();
  OKButton->setText(QStringLiteral("关闭"));
  OKButton->move((frameGeometry().width() - OKButton->width()) / 2, OKButton->y());
  DownloadButton->hide();
  Timer1->start();
  reply_ = IdHTTP1->get(VersionRequest(versionUrl_));
  connect(reply_, &QNetworkReply::downloadProgress, this,
          [this](qint64 received, qint64) { IdHTTP1Work(received); });
}

// A version file is a few bytes; a reply that keeps growing is cut and counts as a failure.
void TUpdateForm::IdHTTP1Work(qint64 bytesReceived) {
  if (reply_ && bytesReceived > MaxVersionFileBytes) reply_->abort();
}

void TUpdateForm::ReplyFinished(QNetworkReply* reply) {
  reply->deleteLater();
  if (reply != reply_) return;
  reply_ = nullptr;
  if (IsVersionFile(*reply)) {
    ShowAnswer(QString::fromUtf8(reply->readAll()));
  } else {
    ShowFailure();
  }
  EndCheck();
}

// The body is compared whole, without trimming: anything but the current version is newer.
void TUpdateForm::ShowAnswer(const QString& body) {
  checkState_ = CheckAnswered;
  if (body == QLatin1String(CurrentVersion)) {
    UpdateStatusLabel->setText(QStringLiteral("暂时没有可用的更新。"));
    return;
  }
  UpdateStatusLabel->setText(QStringLiteral("A new version of Tessimar ") + body +
                             QStringLiteral(" is available!"));
  DownloadButton->show();
  OKButton->setText(QStringLiteral("Cancel"));
  OKButton->move(OKButtonBesideLeft, OKButton->y());
  AutoCheckPending = false;
}

void TUpdateForm::ShowFailure() {
  UpdateStatusLabel->setText(QStringLiteral("Zrror. Can't connect to website."));
  checkState_ = CheckFailed;
  AutoCheckPending = false;
}

// An automatic check that found nothing new closes the window once its loop runs.
void TUpdateForm::EndCheck() {
  Timer1->stop();
  if (AutoCheckPending) {
    AutoCheckPending = false;
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    return;
  }
  OKButton->show();
}

void TUpdateForm::Timer1Timer() {
  if (checkState_ != CheckRunning) return;
  const auto* end = std::end(CheckingTexts);
  const auto* current = std::find(std::begin(CheckingTexts), end, UpdateStatusLabel->text());
  if (current == end) return;
  const auto* next = current + 1 == end ? std::begin(CheckingTexts) : current + 1;
  UpdateStatusLabel->setText(*next);
}

void TUpdateForm::OKButtonClick() { close(); }

void TUpdateForm::DownloadButtonClick() {
  QDesktopServices::openUrl(downloadPageUrl_);
  close();
}

// Every way of closing ends here; a transfer still running is cut and ends as a failure.
void TUpdateForm::done(int result) {
  FormCloseQuery();
  QDialog::done(result);
}

void TUpdateForm::FormCloseQuery() {
  checkState_ = CheckAnswered;
  if (reply_) reply_->abort();
}

}  // namespace tessimar
