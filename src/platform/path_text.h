// Paths as the program keeps them: folders end in '/'.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "platform/text_compare.h"

namespace tessimar {

inline std::string WithTrailingSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

// The folder part of a path, up to and with its last '/' (empty when it has none), and
// the name after it.
inline std::pair<std::string_view, std::string_view> SplitPath(std::string_view path) {
  const std::size_t name = path.rfind('/') + 1;  // 0 without a '/'
  return {path.substr(0, name), path.substr(name)};
}

// The name's text from its last dot on, ASCII letters upper-cased (".JPG"); empty
// without a dot.
inline std::string UpperExtension(std::string_view path) {
  const std::string_view name = SplitPath(path).second;
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string() : UpperAscii(name.substr(dot));
}

}  // namespace tessimar
