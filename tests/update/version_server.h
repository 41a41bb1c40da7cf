// A one-file HTTP server on 127.0.0.1 for the update check: answers every request with a
// set status and body, or holds the reply half sent, or hangs up at once.
#pragma once

#include <QByteArray>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

namespace tessimar::testing {

class VersionServer {
 public:
  enum class Mode { Answer, HoldHalfSent, HangUp };

  VersionServer();

  QUrl Url() const;
  // An address on this machine where nothing listens.
  static QUrl RefusedUrl();

  Mode ReplyMode = Mode::Answer;
  QByteArray Status = "200 OK";
  QByteArray Body = "1.2";
  QByteArray ExtraHeaders;

  // The head of the last request, as received.
  QByteArray Request;
  int Requests = 0;
  // Set when the client closed a connection the server was still holding.
  bool ClientLeft = false;

 private:
  void Accept();
  void ReadRequest(QTcpSocket* socket);
  void Reply(QTcpSocket* socket);

  QTcpServer Server;
};

}  // namespace tessimar::testing
