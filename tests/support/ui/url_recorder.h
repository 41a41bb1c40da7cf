// Takes the place of the browser, the mail program and the default application of local
// files, recording what they were asked to open.
#pragma once

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

namespace tessimar::testing {

class UrlRecorder : public QObject {
  Q_OBJECT

 public:
  UrlRecorder() {
    for (const QString& scheme : Schemes) QDesktopServices::setUrlHandler(scheme, this, "Open");
  }
  ~UrlRecorder() override {
    for (const QString& scheme : Schemes) QDesktopServices::unsetUrlHandler(scheme);
  }

  QList<QUrl> Opened;

 public slots:
  void Open(const QUrl& url) { Opened.append(url); }

 private:
  const QStringList Schemes = {QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("mailto"),
                               QStringLiteral("file")};
};

}  // namespace tessimar::testing
