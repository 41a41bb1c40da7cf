#include "app/about_form.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "url_recorder.h"

namespace tessimar {
namespace {

TEST(AboutFormTest, ShowsTheProductAtItsDesignedPlaces) {
  TAboutForm about;
  EXPECT_EQ(about.windowTitle(), "关于Tessimar");
  EXPECT_EQ(about.size(), QSize(594, 303));
  EXPECT_EQ(about.minimumSize(), about.maximumSize());
  struct Row {
    const char* name;
    QPoint at;
    QString text;
  };
  const Row rows[] = {
      {"Label1", {167, 31}, "Tessimar"},
      {"Version", {167, 67}, "版本 V1.2"},
      {"SiteLabel", {167, 137}, TESSIMAR_SITE_HOST},
      {"Label3", {167, 173}, "mailto:" TESSIMAR_SUPPORT_MAIL},
      {"Label2", {167, 102}, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto* label = about.findChild<QLabel*>(row.name);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->pos(), row.at);
    if (!row.text.isNull()) {
      EXPECT_EQ(label->text(), row.text);
    }
  }
  auto* picture = about.findChild<QLabel*>("Image1");
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->geometry(), QRect(42, 31, 84, 84));
  EXPECT_EQ(picture->pixmap().size(), QSize(84, 84));
  auto* ok = about.findChild<QPushButton*>("OKButton");
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->geometry(), QRect(194, 226, 179, 43));
  EXPECT_EQ(ok->text(), "确定");
}

TEST(AboutFormTest, TheLinksOpenTheProductPageAndANewMail) {
  testing::UrlRecorder urls;
  TAboutForm about;
  for (const char* link : {"SiteLabel", "Label3"}) {
    auto* label = about.findChild<QLabel*>(link);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(label->font().underline());
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0x27, 0x59, 0xAD));
    QTest::mouseClick(label, Qt::LeftButton);
  }
  EXPECT_EQ(urls.Opened, QList<QUrl>({QUrl("http://" TESSIMAR_SITE_HOST "/photo.html"),
                                      QUrl("mailto:" TESSIMAR_SUPPORT_MAIL)}));
}

// The box opens on OK, so Enter still closes it; Tab leads on to the two links, which Enter
// or Space follows.
TEST(AboutFormTest, TheKeyboardReachesAndPressesTheLinks) {
  testing::UrlRecorder urls;
  TAboutForm about;
  about.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&about));
  ASSERT_NE(QApplication::focusWidget(), nullptr);
  EXPECT_EQ(QApplication::focusWidget()->objectName(), "OKButton");
  struct Step {
    Qt::Key key;
    const char* focus;  // where the focus is after the key
    QList<QUrl> opened;
  };
  const QUrl page("http://" TESSIMAR_SITE_HOST "/photo.html");
  const QUrl mail("mailto:" TESSIMAR_SUPPORT_MAIL);
  const Step steps[] = {
      {Qt::Key_Tab, "SiteLabel", {}},
      {Qt::Key_Return, "SiteLabel", {page}},
      {Qt::Key_Space, "SiteLabel", {page, page}},
      {Qt::Key_Tab, "Label3", {page, page}},
      {Qt::Key_Enter, "Label3", {page, page, mail}},
      {Qt::Key_Tab, "OKButton", {page, page, mail}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(QKeySequence(step.key).toString().toStdString() + " to " + step.focus);
    QTest::keyClick(QApplication::focusWidget(), step.key);
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), step.focus);
    EXPECT_EQ(urls.Opened, step.opened);
    EXPECT_TRUE(about.isVisible());
  }
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_FALSE(about.isVisible());
}

// What an assistive technology finds among the box's children and can act on.
TEST(AboutFormTest, ScreenReadersMeetTheLinksAsLinksTheyCanPress) {
  testing::UrlRecorder urls;
  TAboutForm about;
  about.show();
  QAccessibleInterface* box = QAccessible::queryAccessibleInterface(&about);
  ASSERT_NE(box, nullptr);
  QMap<QString, QAccessibleInterface*> links;
  for (int i = 0; i < box->childCount(); ++i) {
    QAccessibleInterface* child = box->child(i);
    if (child != nullptr && child->role() == QAccessible::Link) links.insert(child->text(QAccessible::Name), child);
  }
  const std::pair<QString, QUrl> rows[] = {
      {TESSIMAR_SITE_HOST, QUrl("http://" TESSIMAR_SITE_HOST "/photo.html")},
      {"mailto:" TESSIMAR_SUPPORT_MAIL, QUrl("mailto:" TESSIMAR_SUPPORT_MAIL)},
  };
  EXPECT_EQ(links.size(), 2);
  for (const auto& [name, url] : rows) {
    SCOPED_TRACE(name.toStdString());
    QAccessibleInterface* link = links.value(name);
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->state().focusable);
    QAccessibleActionInterface* actions = link->actionInterface();
    ASSERT_NE(actions, nullptr);
    EXPECT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    actions->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_FALSE(urls.Opened.isEmpty());
    EXPECT_EQ(urls.Opened.back(), url);
  }
}

TEST(AboutFormTest, OkClosesTheBoxWhichOpensAgainUnchanged) {
  TAboutForm about;
  for (int opening = 0; opening < 2; ++opening) {
    SCOPED_TRACE(opening);
    QTimer::singleShot(0, [&about] { QTest::mouseClick(about.findChild<QPushButton*>("OKButton"), Qt::LeftButton); });
    EXPECT_EQ(about.exec(), QDialog::Accepted);
    EXPECT_FALSE(about.isVisible());
  }
}

}  // namespace
}  // namespace tessimar
