// Captions the main window sets as its state changes.
#pragma once

#include <QString>

namespace tessimar {

inline const QString StartCaption = QStringLiteral("开始扫描查找");
inline const QString StopCaption = QStringLiteral("停止扫描查找");
inline const QString NoPictureCaption = QStringLiteral("没有图片");
inline const QString ZeroPercentCaption = QStringLiteral("0%");
inline const QString AddFolderCaption = QStringLiteral("Add folder to search");

// The folder list's hint line: one wording at start-up, another once Remove or Clear
// has emptied the list.
inline const QString StartupHint = QStringLiteral("       您可以从 文件管理器将目录拖到此处");
inline const QString EmptiedHint = QStringLiteral("       您可以从 文件管理器中拖动目录到这里");

}  // namespace tessimar
