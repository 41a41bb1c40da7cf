// Message boxes for tests: each box is recorded with its kind and text, and a
// confirmation or question is answered from a queue (No when the queue is empty).
#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <vector>

#include "app/message_boxes.h"

namespace tessimar::testing {

class RecordingMessageBoxes : public MessageBoxes {
 public:
  enum class Kind { Error, Information, Report, Confirmation, Question };
  struct Box {
    Kind kind;
    QString text;
    QString details;  // of a report
  };

  // Installs itself for its lifetime.
  RecordingMessageBoxes() { SetMessages(this); }
  ~RecordingMessageBoxes() override { SetMessages(nullptr); }

  void Error(QWidget*, const QString& text) override { Record(Kind::Error, text); }
  void Information(QWidget*, const QString& text) override { Record(Kind::Information, text); }
  void Report(QWidget*, const QString& text, const QString& details) override { Record(Kind::Report, text, details); }
  bool Confirm(QWidget*, const QString& text) override { return Answer(Kind::Confirmation, text); }
  bool Ask(QWidget*, const QString& text) override { return Answer(Kind::Question, text); }

  std::vector<Box> Boxes;
  std::deque<bool> Answers;
  // Runs while a box is "open", as a modal box lets events through.
  std::function<void()> WhileOpen;

 private:
  bool Answer(Kind kind, const QString& text) {
    Record(kind, text);
    if (Answers.empty()) return false;
    const bool yes = Answers.front();
    Answers.pop_front();
    return yes;
  }
  void Record(Kind kind, const QString& text, const QString& details = {}) {
    Boxes.push_back({kind, text, details});
    if (WhileOpen) WhileOpen();
  }
};

}  // namespace tessimar::testing
