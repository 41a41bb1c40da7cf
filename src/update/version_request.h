// The HTTP side of the update check: how the version file is asked for, and which replies
// count as the file.
#pragma once

#include <QNetworkRequest>
#include <QUrl>

class QNetworkReply;

namespace tessimar {

// Larger replies are cut: no version file comes near this.
constexpr qint64 MaxVersionFileBytes = 64 * 1024;
// A host that stops answering counts as unreachable after this long.
constexpr int VersionTransferTimeoutMs = 30000;

// GET with the headers Accept "text/html, */*" and the client's User-Agent; redirects are
// not followed.
QNetworkRequest VersionRequest(const QUrl& url);

// True when the reply ended without a network error, with a 2xx status and a body of at
// most MaxVersionFileBytes.
bool IsVersionFile(const QNetworkReply& reply);

}  // namespace tessimar
