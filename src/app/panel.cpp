#include "app/panel.h"

#include <QAccessibleWidget>

namespace tessimar {
namespace {

// Asked before Qt's own factory, which takes any QFrame for a frame.
QAccessibleInterface* PanelAccessibility(const QString& className, QObject* object) {
  if (className != QLatin1String(Panel::staticMetaObject.className())) return nullptr;
  return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Pane);
}

}  // namespace

Panel::Panel(QWidget* parent) : QFrame(parent) {
  [[maybe_unused]] static const bool installed = (QAccessible::installFactory(PanelAccessibility), true);
}

}  // namespace tessimar
