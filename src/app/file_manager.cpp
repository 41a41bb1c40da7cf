#include "app/file_manager.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QUrl>

#include "app/file_url.h"
#include "app/web_pages.h"
#include "platform/path_text.h"

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

void ShowInFileManager(const std::string& path) {
  if (FileManagerShows(FileUrl(path))) return;
  const std::string_view folder = SplitPath(path).first;
  OpenPage(FileUrl(std::string(folder.size() > 1 ? folder.substr(0, folder.size() - 1) : folder)));
}

}  // namespace tessimar
