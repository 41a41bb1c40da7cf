#include "app/file_url.h"

#include <QByteArray>

namespace tessimar {

QUrl FileUrl(const std::string& path) {
  return QUrl::fromEncoded("file://" + QByteArray::fromStdString(path).toPercentEncoding("/"), QUrl::StrictMode);
}

}  // namespace tessimar
