#include "app/about_form.h"

#include <QLabel>
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
