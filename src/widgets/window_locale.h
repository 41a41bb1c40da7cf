// The locale the windows write dates in.
#pragma once

#include <QLocale>

namespace tessimar {

// The user's locale; where the user has chosen none (the C locale), Chinese, the language
// of the windows' own texts.
QLocale WindowLocale(const QLocale& system = QLocale::system());

}  // namespace tessimar
