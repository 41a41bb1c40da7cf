#include "app/qt_text_supplement.h"

#include <cstring>

namespace tessimar {
namespace {

struct Text {
  const char* context;
  const char* source;
  const char* chinese;
};

// The kinds a file dialog's type column shows for what is no regular file, in the words
// the catalogue uses for them elsewhere.
constexpr Text Texts[] = {
    {"QAbstractFileIconProvider", "Folder", "文件夹"},
    {"QAbstractFileIconProvider", "Drive", "驱动器"},
    {"QAbstractFileIconProvider", "Shortcut", "快捷方式"},
    {"QAbstractFileIconProvider", "Unknown", "未知"},
};

}  // namespace

// An empty answer passes the text on to the other catalogues.
QString QtTextSupplement::translate(const char* context, const char* sourceText, const char*, int) const {
  if (context == nullptr || sourceText == nullptr) return {};
  for (const Text& text : Texts) {
    if (std::strcmp(context, text.context) == 0 && std::strcmp(sourceText, text.source) == 0) {
      return QString::fromUtf8(text.chinese);
    }
  }
  return {};
}

}  // namespace tessimar
