#include "app/message_boxes.h"

#include <QMessageBox>
#include <QPushButton>

namespace tessimar {
namespace {

class RealMessageBoxes : public MessageBoxes {
 public:
  void Error(QWidget* parent, const QString& text) override { Show(parent, QMessageBox::Critical, "错误", text); }
  void Information(QWidget* parent, const QString& text) override {
    Show(parent, QMessageBox::Information, "扫描查找结果", text);
  }
  void Report(QWidget* parent, const QString& text, const QString& details) override {
    QMessageBox box(QMessageBox::Information, "批量处理", text, QMessageBox::NoButton, parent);
    box.addButton("确定", QMessageBox::AcceptRole);
    box.setDetailedText(details);
    box.exec();
  }
  bool Confirm(QWidget* parent, const QString& text) override {
    return YesOrNo(parent, QMessageBox::Question, "确认信息", text);
  }
  bool Ask(QWidget* parent, const QString& text) override {
    return YesOrNo(parent, QMessageBox::Information, "扫描查找结果", text);
  }

 private:
  static bool YesOrNo(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text) {
    QMessageBox box(icon, title, text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton("&确定", QMessageBox::YesRole);
    box.addButton("&取消", QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.exec();
    return box.clickedButton() == yes;
  }
  static void Show(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text) {
    QMessageBox box(icon, title, text, QMessageBox::NoButton, parent);
    box.addButton("确定", QMessageBox::AcceptRole);
    box.exec();
  }
};

RealMessageBoxes realBoxes;
MessageBoxes* current = &realBoxes;

}  // namespace

MessageBoxes& Messages() { return *current; }

void SetMessages(MessageBoxes* boxes) { current = boxes != nullptr ? boxes : &realBoxes; }

}  // namespace tessimar
