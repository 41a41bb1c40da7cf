#include "app/file_manager.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFileInfo>
#include <QUrl>

#include "app/web_pages.h"

namespace tessimar {
namespace {

// A file manager answers at once; a bus that does not must not hold the window long.
constexpr int CallTimeoutMs = 3000;

bool FileManagerShows(const QUrl& file) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
      QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
  call << QStringList{file.toString(QUrl::FullyEncoded)} << QString();
  return bus.call(call, QDBus::Block, CallTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

}  // namespace

void ShowInFileManager(const QString& path) {
  const QUrl file = QUrl::fromLocalFile(path);
  if (!FileManagerShows(file)) OpenPage(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

}  // namespace tessimar
