// The main window's captions and messages to the character, as the user reads them: the
// window tests compare with these constants, so a slip in one would pass them unseen.
#include "app/main_form_texts.h"

#include <gtest/gtest.h>

#include "qt_printers.h"

namespace tessimar {
namespace {

TEST(MainFormTextsTest, EachTextReadsAsWritten) {
  struct Row {
    const char* name;
    const QString& text;
    const char* expected;
  };
  const Row rows[] = {
      {"StartCaption", StartCaption, "开始扫描查找"},
      {"StopCaption", StopCaption, "停止扫描查找"},
      {"NoPictureCaption", NoPictureCaption, "没有图片"},
      {"ZeroPercentCaption", ZeroPercentCaption, "0%"},
      {"AddFolderCaption", AddFolderCaption, "Add folder to search"},
      {"SampleInfoLine1", SampleInfoLine1, "JPG  220 x 290  17 KB"},
      {"SampleInfoLine2", SampleInfoLine2, "JPG  220 x 290  12 KB"},
      {"SamplePercent", SamplePercent, "56%"},
      {"MissingFileMessage", MissingFileMessage, "Cannot find this file:\n\r"},
      {"MoveCaption", MoveCaption, "  移动 %1 到选定的文件夹"},
      {"MovedMessage", MovedMessage, "%1 moved successfully"},
      {"MoveFailedMessage", MoveFailedMessage, "Cannot move file %1\n\rError code = %2"},
      {"DeleteQuestion", DeleteQuestion, "你确定要删除文件吗？\n\r"},
      {"DeleteFailedMessage", DeleteFailedMessage, "Cannot delete file %1\n\rError code = %2"},
      {"EmptyListMessage", EmptyListMessage, "重复图片列表为空！"},
      {"ReplaceQuestion", ReplaceQuestion, "The file \"%1\" exists. Replace it with a new one?"},
      {"CreateFailedMessage", CreateFailedMessage, "Cannot create file \"%1\". %2"},
      {"StartupHint", StartupHint, "       您可以从 文件管理器将目录拖到此处"},
      {"EmptiedHint", EmptiedHint, "       您可以从 文件管理器中拖动目录到这里"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.text, QString::fromUtf8(row.expected));
  }
}

}  // namespace
}  // namespace tessimar
