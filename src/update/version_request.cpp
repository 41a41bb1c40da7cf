#include "update/version_request.h"

#include <QNetworkReply>

namespace tessimar {

QNetworkRequest VersionRequest(const QUrl& url) {
  QNetworkRequest request(url);
  request.setRawHeader("Accept", "text/html, */*");
  request.setHeader(QNetworkRequest::UserAgentHeader,
                    QByteArrayLiteral("Mozilla/3.0 (compatible; Indy Library)"));
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::ManualRedirectPolicy);
  request.setTransferTimeout(VersionTransferTimeoutMs);
  return request;
}

bool IsVersionFile(const QNetworkReply& reply) {
  if (reply.error() != QNetworkReply::NoError) return false;
  if (reply.bytesAvailable() > MaxVersionFileBytes) return false;
  const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  return status >= 200 && status < 300;
}

}  // namespace tessimar
