#include "update/update_form.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>
#include <ostream>

#include "qt_printers.h"
#include "recording_message_boxes.h"
#include "url_recorder.h"
#include "version_server.h"

namespace tessimar {
namespace {

using testing::RecordingMessageBoxes;
using testing::UrlRecorder;
using testing::VersionServer;

constexpr int DeadlineMs = 5000;
const QString NoUpdate = QStringLiteral("暂时没有可用的更新。");
const QString Failure = QStringLiteral("Zrror. Can't connect to website.");
const QString CloseCaption = QStringLiteral("关闭");
constexpr int BesideLeft = 305;

QString NewVersionText(const QByteArray& body) {
  return QStringLiteral("A new version of Tessimar ") + QString::fromUtf8(body) +
         QStringLiteral(" is available!");
}

class UpdateFormTest : public ::testing::Test {
 protected:
  void MakeForm(const QUrl& versionUrl) {
    Form = std::make_unique<TUpdateForm>(versionUrl, DownloadPage, AutoCheckPending);
  }
  QLabel* Status() { return Form->findChild<QLabel*>(QStringLiteral("UpdateStatusLabel")); }
  QPushButton* Button(const char* name) {
    return Form->findChild<QPushButton*>(QString::fromLatin1(name));
  }
  // Shows the window, which starts a check, and waits for the check to end.
  void RunCheck() {
    Form->show();
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return Form->UpdateCheckState() != TUpdateForm::CheckRunning; }, DeadlineMs));
  }
  bool Closes() {
    return QTest::qWaitFor([this] { return !Form->isVisible(); }, DeadlineMs);
  }
  void ExpectOnlyCloseButton() {
    EXPECT_FALSE(Button("DownloadButton")->isVisible());
    EXPECT_TRUE(Button("OKButton")->isVisible());
    EXPECT_EQ(Button("OKButton")->text(), CloseCaption);
    EXPECT_EQ(Button("OKButton")->x(), (Form->frameGeometry().width() - 137) / 2);
  }
  void ExpectDownloadOffered() {
    EXPECT_TRUE(Button("DownloadButton")->isVisible());
    EXPECT_TRUE(Button("OKButton")->isVisible());
    EXPECT_EQ(Button("OKButton")->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(Button("OKButton")->x(), BesideLeft);
  }

  RecordingMessageBoxes Boxes;
  VersionServer Server;
  const QUrl DownloadPage{QStringLiteral("http://www.site.test/")};
  bool AutoCheckPending = false;
  std::unique_ptr<TUpdateForm> Form;
};

TEST_F(UpdateFormTest, AskForTheVersionFileWithTheClientHeaders) {
  MakeForm(Server.Url());
  RunCheck();
  EXPECT_TRUE(Server.Request.startsWith("GET /update/photo_version.txt HTTP/1.1\r\n"))
      << Server.Request.toStdString();
  EXPECT_TRUE(Server.Request.contains("\r\nAccept: text/html, */*\r\n"));
  EXPECT_TRUE(
      Server.Request.contains("\r\nUser-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"));
}

TEST_F(UpdateFormTest, DefaultAddressesPointAtTheConfiguredHosts) {
  EXPECT_EQ(DefaultVersionUrl(),
            QUrl(QStringLiteral("http://" TESSIMAR_UPDATE_HOST "/update/photo_version.txt")));
  EXPECT_EQ(DefaultDownloadPageUrl(), QUrl(QStringLiteral("http://" TESSIMAR_SITE_HOST "/")));
  EXPECT_TRUE(DefaultVersionUrl().isValid());
}

TEST_F(UpdateFormTest, TheCurrentVersionMeansNoUpdate) {
  MakeForm(Server.Url());
  RunCheck();
  EXPECT_EQ(Status()->text(), NoUpdate);
  EXPECT_EQ(Form->UpdateCheckState(), TUpdateForm::CheckAnswered);
  ExpectOnlyCloseButton();
  QTest::qWait(10);
  EXPECT_TRUE(Form->isVisible());
}

// Only the exact text of the current version counts as current; anything else is newer,
// shown as it came.
TEST_F(UpdateFormTest, AnyOtherBodyIsANewVersion) {
  const QByteArray bodies[] = {"1.3", "1.2\n", "1.2\r\n", " 1.2 ", "", "1.1", "v1.2", "<b>2.0</b>"};
  for (const bool automatic : {false, true}) {
    for (const QByteArray& body : bodies) {
      SCOPED_TRACE(::testing::Message()
                   << "automatic " << automatic << " body '" << body.toStdString() << "'");
      Server.Body = body;
      AutoCheckPending = automatic;
      MakeForm(Server.Url());
      RunCheck();
      EXPECT_EQ(Status()->text(), NewVersionText(body));
      EXPECT_EQ(Status()->textFormat(), Qt::PlainText);
      EXPECT_EQ(Form->UpdateCheckState(), TUpdateForm::CheckAnswered);
      ExpectDownloadOffered();
      EXPECT_FALSE(AutoCheckPending);
      QTest::qWait(10);
      EXPECT_TRUE(Form->isVisible());
    }
  }
}

// Every failure looks alike, and even an automatic check then waits for the user.
TEST_F(UpdateFormTest, EveryFailureShowsTheErrorTextAndStaysOpen) {
  struct Case {
    const char* what;
    VersionServer::Mode mode;
    QByteArray status;
    QByteArray extraHeaders;
    QByteArray body;
    bool refused;
  };
  const Case cases[] = {
      {"not found", VersionServer::Mode::Answer, "404 Not Found", "", "1.2", false},
      {"server error", VersionServer::Mode::Answer, "500 Internal Server Error", "", "1.3", false},
      {"redirect", VersionServer::Mode::Answer, "301 Moved Permanently",
       "Location: http://127.0.0.1:1/elsewhere\r\n", "", false},
      {"hang-up", VersionServer::Mode::HangUp, "", "", "", false},
      {"oversized body", VersionServer::Mode::Answer, "200 OK", "", QByteArray(100000, '9'), false},
      {"refused", VersionServer::Mode::Answer, "", "", "", true},
  };
  for (const bool automatic : {false, true}) {
    for (const Case& row : cases) {
      SCOPED_TRACE(::testing::Message() << row.what << " automatic " << automatic);
      Server.ReplyMode = row.mode;
      Server.Status = row.status;
      Server.ExtraHeaders = row.extraHeaders;
      Server.Body = row.body;
      AutoCheckPending = automatic;
      MakeForm(row.refused ? VersionServer::RefusedUrl() : Server.Url());
      RunCheck();
      EXPECT_EQ(Status()->text(), Failure);
      EXPECT_EQ(Form->UpdateCheckState(), TUpdateForm::CheckFailed);
      ExpectOnlyCloseButton();
      EXPECT_FALSE(AutoCheckPending);
      QTest::qWait(10);
      EXPECT_TRUE(Form->isVisible());
    }
  }
  EXPECT_TRUE(Boxes.Boxes.empty());
}

TEST_F(UpdateFormTest, AutomaticCheckWithoutNewsClosesItselfUnderExec) {
  AutoCheckPending = true;
  MakeForm(Server.Url());
  QTimer deadline;
  deadline.setSingleShot(true);
  QObject::connect(&deadline, &QTimer::timeout, Form.get(), &QWidget::close);
  deadline.start(DeadlineMs);
  Form->exec();
  EXPECT_TRUE(deadline.isActive()) << "the window did not close by itself";
  EXPECT_EQ(Status()->text(), NoUpdate);
  EXPECT_FALSE(Button("OKButton")->isVisible());
  EXPECT_FALSE(AutoCheckPending);
}

// Only the first check after start-up is automatic: the next one stays open.
TEST_F(UpdateFormTest, EachOpeningRunsAFreshCheck) {
  Server.Body = "1.3";
  MakeForm(Server.Url());
  RunCheck();
  ExpectDownloadOffered();
  QTest::mouseClick(Button("OKButton"), Qt::LeftButton);
  ASSERT_TRUE(Closes());
  Server.Body = "1.2";
  RunCheck();
  EXPECT_EQ(Server.Requests, 2);
  EXPECT_EQ(Status()->text(), NoUpdate);
  ExpectOnlyCloseButton();
  EXPECT_TRUE(Form->isVisible());
}

TEST_F(UpdateFormTest, StatusTextCyclesWhileTheCheckRuns) {
  Server.ReplyMode = VersionServer::Mode::HoldHalfSent;
  MakeForm(Server.Url());
  Form->show();
  EXPECT_EQ(Status()->text(), QStringLiteral("Checking for Update"));
  EXPECT_FALSE(Button("OKButton")->isVisible());
  EXPECT_FALSE(Button("DownloadButton")->isVisible());
  for (const char* text : {"Checking for Update.", "Checking for Update..",
                           "Checking for Update...", "Checking for Update"}) {
    SCOPED_TRACE(text);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return Status()->text() == QLatin1String(text); }, DeadlineMs));
  }
}

TEST_F(UpdateFormTest, ClosingTheWindowCutsTheTransfer) {
  Server.ReplyMode = VersionServer::Mode::HoldHalfSent;
  AutoCheckPending = true;
  MakeForm(Server.Url());
  Form->show();
  ASSERT_TRUE(QTest::qWaitFor([this] { return Server.Requests == 1; }, DeadlineMs));
  Form->close();
  EXPECT_FALSE(Form->isVisible());
  EXPECT_EQ(Form->UpdateCheckState(), TUpdateForm::CheckFailed);
  EXPECT_FALSE(AutoCheckPending);
  EXPECT_TRUE(QTest::qWaitFor([this] { return Server.ClientLeft; }, DeadlineMs));
  const QString frozen = Status()->text();
  QTest::qWait(600);
  EXPECT_EQ(Status()->text(), frozen);
}

TEST_F(UpdateFormTest, DownloadOpensTheSitePageAndCancelDoesNot) {
  struct Case {
    const char* button;
    QList<QUrl> opened;
  };
  const Case cases[] = {{"DownloadButton", {DownloadPage}}, {"OKButton", {}}};
  Server.Body = "1.3";
  for (const Case& row : cases) {
    SCOPED_TRACE(row.button);
    UrlRecorder browser;
    MakeForm(Server.Url());
    RunCheck();
    QTest::mouseClick(Button(row.button), Qt::LeftButton);
    EXPECT_TRUE(Closes());
    EXPECT_EQ(browser.Opened, row.opened);
  }
}

TEST_F(UpdateFormTest, LayoutFollowsTheDesign) {
  struct Case {
    const char* name;
    QRect geometry;
    QString text;
  };
  const Case cases[] = {
      {"UpdateStatusLabel", {10, 17, 527, 17}, "检查更新"},
      {"DownloadButton", {107, 55, 190, 43}, "前往下载页面"},
      {"OKButton", {305, 55, 137, 43}, "关闭"},
  };
  MakeForm(Server.Url());
  EXPECT_EQ(Form->windowTitle(), QStringLiteral("检查更新"));
  EXPECT_EQ(Form->minimumSize(), QSize(538, 142));
  EXPECT_EQ(Form->maximumSize(), QSize(538, 142));
  EXPECT_EQ(Form->windowType(), Qt::Tool);
  EXPECT_FALSE(Form->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_EQ(Form->font().family(), QStringLiteral("Tahoma"));
  EXPECT_EQ(Form->font().pixelSize(), 14);
  EXPECT_EQ(Status()->alignment(), Qt::AlignCenter);
  EXPECT_FALSE(Status()->wordWrap());
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    auto* control = Form->findChild<QWidget*>(QString::fromLatin1(row.name));
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->geometry(), row.geometry);
    EXPECT_EQ(control->property("text").toString(), row.text);
  }
  EXPECT_EQ(Button("DownloadButton")->nextInFocusChain(), Button("OKButton"));
}

}  // namespace
}  // namespace tessimar
