// Holds text that reaches a line edit other than by typing (a paste by key, by the edit's
// menu or by the middle button, a drop) to the rule of typed characters: only the
// characters that pass are inserted.
#pragma once

#include <QClipboard>
#include <QObject>
#include <functional>

class QContextMenuEvent;
class QDropEvent;
class QLineEdit;

namespace tessimar {

class PasteFilter : public QObject {
 public:
  // Installs itself on edit, which owns it. Install it after any key filter of the edit,
  // so that it sees a paste key first.
  PasteFilter(QLineEdit& edit, std::function<bool(QChar)> passes);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QString Passing(const QString& text) const;
  void Paste(QClipboard::Mode mode);
  void ShowMenu(const QContextMenuEvent& event);
  bool Drop(QDropEvent& event);

  QLineEdit& edit_;
  std::function<bool(QChar)> passes_;
};

}  // namespace tessimar
