#include "app/tessimar_application.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDialogButtonBox>
#include <QFileDialog>
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

}  // namespace
}  // namespace tessimar
