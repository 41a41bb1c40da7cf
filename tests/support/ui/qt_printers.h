// Readable failure messages for the Qt values the window tests compare. GoogleTest finds
// them by argument-dependent lookup, so they stand in the Qt types' own (global) namespace.
#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <QUrl>
#include <ostream>

inline void PrintTo(const QString& value, std::ostream* os) { *os << '"' << value.toStdString() << '"'; }
inline void PrintTo(const QRect& value, std::ostream* os) {
  *os << value.x() << "," << value.y() << " " << value.width() << "x" << value.height();
}
inline void PrintTo(const QPoint& value, std::ostream* os) { *os << value.x() << "," << value.y(); }
inline void PrintTo(const QUrl& value, std::ostream* os) { *os << value.toString().toStdString(); }
