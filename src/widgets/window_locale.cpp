#include "widgets/window_locale.h"

namespace tessimar {

QLocale WindowLocale(const QLocale& system) {
  if (system.language() != QLocale::C) return system;
  return QLocale(QLocale::Chinese, QLocale::China);
}

}  // namespace tessimar
