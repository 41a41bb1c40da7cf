// The window's message boxes, an error, two notices and two questions, behind one seam so
// that tests can read and answer them.
#pragma once

#include <QString>

class QWidget;

namespace tessimar {

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Title "错误", one button "确定".
  virtual void Error(QWidget* parent, const QString& text) = 0;
  // Title "扫描查找结果", one button "确定".
  virtual void Information(QWidget* parent, const QString& text) = 0;
  // Title "批量处理", one button "确定"; details, when there are any, unfold below the text
  // and scroll, so that a list of thousands of lines fits.
  virtual void Report(QWidget* parent, const QString& text, const QString& details) = 0;
  // Title "确认信息" with the buttons "&确定" and "&取消"; true for the first.
  virtual bool Confirm(QWidget* parent, const QString& text) = 0;
  // Title "扫描查找结果" with the buttons "&确定" and "&取消"; true for the first.
  virtual bool Ask(QWidget* parent, const QString& text) = 0;
};

// The boxes in use: real ones unless a test has installed others.
MessageBoxes& Messages();
// Installs boxes (nullptr: the real ones again). The caller keeps ownership.
void SetMessages(MessageBoxes* boxes);

}  // namespace tessimar
