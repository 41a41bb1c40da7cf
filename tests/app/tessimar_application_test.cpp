#include "app/tessimar_application.h"

#include <gtest/gtest.h>

#include <QAbstractFileIconProvider>
#include <QAction>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <memory>

namespace tessimar {
namespace {

// The test program runs inside the application object, as the program does, under
// whatever language the machine is set to.
TEST(TessimarApplicationTest, QtsOwnTextsAreChinese) {
  QLineEdit edit;
  const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
  QStringList commands;
  for (const QAction* action : menu->actions()) commands << action->text().section(u'\t', 0, 0);
  EXPECT_TRUE(commands.contains(QStringLiteral("粘贴(&P)"))) << commands.join(u' ').toStdString();
  EXPECT_TRUE(commands.contains(QStringLiteral("全选"))) << commands.join(u' ').toStdString();

  QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  EXPECT_EQ(buttons.button(QDialogButtonBox::Ok)->text(), QStringLiteral("确定"));
  EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));

  // The folder picker's kind of dialog.
  QFileDialog picker;
  picker.setOption(QFileDialog::DontUseNativeDialog);
  picker.setFileMode(QFileDialog::Directory);
  auto* lookIn = picker.findChild<QLabel*>(QStringLiteral("lookInLabel"));
  ASSERT_NE(lookIn, nullptr);
  EXPECT_EQ(lookIn->text(), QStringLiteral("查找范围："));
  auto* pickerButtons = picker.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
  ASSERT_NE(pickerButtons, nullptr);
  EXPECT_EQ(pickerButtons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
}

// The file dialogs' type column: Qt's Chinese catalogue has these words, but not under the
// name Qt asks for them.
TEST(TessimarApplicationTest, FileDialogsNameFoldersAndDrivesInChinese) {
  const QAbstractFileIconProvider kinds;
  EXPECT_EQ(kinds.type(QFileInfo(QDir::tempPath())), QStringLiteral("文件夹"));
  EXPECT_EQ(kinds.type(QFileInfo(QStringLiteral("/"))), QStringLiteral("驱动器"));
  // Other texts still come from Qt's catalogue.
  EXPECT_EQ(QCoreApplication::translate("QFileSystemModel", "Date Modified"), QStringLiteral("修改日期"));
}

}  // namespace
}  // namespace tessimar
