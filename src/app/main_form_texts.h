// Captions the main window sets as its state changes.
#pragma once

#include <QString>

namespace tessimar {

inline const QString StartCaption = QStringLiteral("开始扫描查找");
inline const QString StopCaption = QStringLiteral("停止扫描查找");
inline const QString NoPictureCaption = QStringLiteral("没有图片");
inline const QString ZeroPercentCaption = QStringLiteral("0%");
inline const QString AddFolderCaption = QStringLiteral("Add folder to search");

// The sample pair the preview shows before the first scan.
inline const QString SampleInfoLine1 = QStringLiteral("JPG  220 x 290  17 KB");
inline const QString SampleInfoLine2 = QStringLiteral("JPG  220 x 290  12 KB");
inline const QString SamplePercent = QStringLiteral("56%");

// The file actions' and the export's messages; line breaks are LF then CR.
inline const QString MissingFileMessage = QStringLiteral("Cannot find this file:\n\r");
inline const QString MoveCaption = QStringLiteral("  移动 %1 到选定的文件夹");
inline const QString MovedMessage = QStringLiteral("%1 moved successfully");
inline const QString MoveFailedMessage = QStringLiteral("Cannot move file %1\n\rError code = %2");
inline const QString DeleteQuestion = QStringLiteral("你确定要删除文件吗？\n\r");
inline const QString DeleteFailedMessage = QStringLiteral("Cannot delete file %1\n\rError code = %2");
inline const QString EmptyListMessage = QStringLiteral("重复图片列表为空！");
inline const QString ReplaceQuestion = QStringLiteral("The file \"%1\" exists. Replace it with a new one?");
inline const QString CreateFailedMessage = QStringLiteral("Cannot create file \"%1\". %2");

// The folder list's hint line: one wording at start-up, another once Remove or Clear
// has emptied the list.
inline const QString StartupHint = QStringLiteral("       您可以从 文件管理器将目录拖到此处");
inline const QString EmptiedHint = QStringLiteral("       您可以从 文件管理器中拖动目录到这里");

}  // namespace tessimar
