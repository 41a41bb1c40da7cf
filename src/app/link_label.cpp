#include "app/link_label.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace tessimar {
namespace {

// A link that can be pressed; its name is its text unless it was given another.
class LinkAccessibility : public QAccessibleWidget {
 public:
  explicit LinkAccessibility(LinkLabel* link) : QAccessibleWidget(link, QAccessible::Link) {}

  QString text(QAccessible::Text kind) const override {
    const QString text = QAccessibleWidget::text(kind);
    if (kind != QAccessible::Name || !text.isEmpty()) return text;
    return Link().text();
  }

  QStringList actionNames() const override { return QStringList(pressAction()) + QAccessibleWidget::actionNames(); }

  void doAction(const QString& action) override {
    if (action == pressAction()) {
      Link().Press();
    } else {
      QAccessibleWidget::doAction(action);
    }
  }

 private:
  LinkLabel& Link() const { return *static_cast<LinkLabel*>(widget()); }
};

// Asked before Qt's own factory, which takes any QLabel for static text.
QAccessibleInterface* LinkAccessibilityOf(const QString& className, QObject* object) {
  if (className != QLatin1String(LinkLabel::staticMetaObject.className())) return nullptr;
  return new LinkAccessibility(static_cast<LinkLabel*>(object));
}

}  // namespace

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : ClickableLabel(text, parent) {
  [[maybe_unused]] static const bool installed = (QAccessible::installFactory(LinkAccessibilityOf), true);
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::PointingHandCursor);
}

void LinkLabel::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      Press();
      event->accept();
      break;
    default:
      ClickableLabel::keyPressEvent(event);
  }
}

// The style's focus frame shows where the keyboard is.
void LinkLabel::paintEvent(QPaintEvent* event) {
  ClickableLabel::paintEvent(event);
  if (!hasFocus()) return;
  QPainter painter(this);
  QStyleOptionFocusRect option;
  option.initFrom(this);
  option.backgroundColor = palette().color(QPalette::Window);
  style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}

}  // namespace tessimar
