// file: URLs of paths kept as bytes.
#pragma once

#include <QUrl>
#include <string>

namespace tessimar {

// The file: URL of an absolute path, by its bytes: a name that is not UTF-8 keeps its real
// bytes percent-encoded, where QUrl::fromLocalFile would name another file.
QUrl FileUrl(const std::string& path);

}  // namespace tessimar
