#include "version_server.h"

#include <QTcpSocket>

namespace tessimar::testing {

namespace {

// What HoldHalfSent announces and sends before it stops.
constexpr int AnnouncedLength = 100000;
const QByteArray HalfBody = "1.";

}  // namespace

VersionServer::VersionServer() {
  Server.listen(QHostAddress::LocalHost, 0);
  QObject::connect(&Server, &QTcpServer::newConnection, &Server, [this] { Accept(); });
}

QUrl VersionServer::Url() const {
  return QUrl(
      QStringLiteral("http://127.0.0.1:%1/update/photo_version.txt").arg(Server.serverPort()));
}

QUrl VersionServer::RefusedUrl() {
  QTcpServer closed;
  closed.listen(QHostAddress::LocalHost, 0);
  const quint16 port = closed.serverPort();
  closed.close();
  return QUrl(QStringLiteral("http://127.0.0.1:%1/update/photo_version.txt").arg(port));
}

void VersionServer::Accept() {
  while (QTcpSocket* socket = Server.nextPendingConnection()) {
    Request.clear();
    QObject::connect(socket, &QTcpSocket::readyRead, socket,
                     [this, socket] { ReadRequest(socket); });
    QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
  }
}

void VersionServer::ReadRequest(QTcpSocket* socket) {
  Request += socket->readAll();
  if (!Request.contains("\r\n\r\n")) return;
  ++Requests;
  Reply(socket);
}

void VersionServer::Reply(QTcpSocket* socket) {
  switch (ReplyMode) {
    case Mode::Answer:
      socket->write("HTTP/1.1 " + Status + "\r\nContent-Type: text/plain\r\nContent-Length: " +
                    QByteArray::number(Body.size()) + "\r\nConnection: close\r\n" + ExtraHeaders +
                    "\r\n" + Body);
      socket->disconnectFromHost();
      break;
    case Mode::HoldHalfSent:
      socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                    QByteArray::number(AnnouncedLength) + "\r\n\r\n" + HalfBody);
      QObject::connect(socket, &QTcpSocket::disconnected, socket, [this] { ClientLeft = true; });
      break;
    case Mode::HangUp:
      socket->abort();
      break;
  }
}

}  // namespace tessimar::testing
