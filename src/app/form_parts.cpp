#include "app/form_parts.h"

#include <QFrame>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/panel.h"
#include "widgets/fixed_form.h"

namespace tessimar {

QFrame* MakePanel(QWidget* parent, const char* name, Border border, bool coloured) {
  auto* panel = new Panel(parent);
  panel->setObjectName(name);
  QPalette palette = panel->palette();
  if (coloured) {
    panel->setAutoFillBackground(true);
    palette.setColor(QPalette::Window, PanelColour);
  }
  // A plain frame draws its line in the text colour: a dark one, as the window frame.
  palette.setColor(QPalette::WindowText, Qt::black);
  panel->setPalette(palette);
  if (border == Border::Flat) {
    panel->setFrameShape(QFrame::Box);
    panel->setFrameShadow(QFrame::Plain);
    panel->setLineWidth(1);
  }
  return panel;
}

QFrame* AddPanel(QVBoxLayout* layout, QWidget* parent, const char* name, int height, Border border) {
  QFrame* panel = MakePanel(parent, name, border, true);
  panel->setFixedHeight(height);
  layout->addWidget(panel);
  return panel;
}

QVBoxLayout* BareColumn(QWidget* parent) {
  auto* layout = new QVBoxLayout(parent);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  return layout;
}

void StyleLabel(QLabel& label, int pixelSize, const QColor& colour) {
  label.setFont(TahomaFont(pixelSize));
  QPalette palette = label.palette();
  palette.setColor(QPalette::WindowText, colour);
  palette.setColor(QPalette::Disabled, QPalette::WindowText, colour);
  label.setPalette(palette);
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int pixelSize, const QColor& colour) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  StyleLabel(*label, pixelSize, colour);
  return label;
}

QToolButton* MakeGlyphButton(QWidget* parent, const char* name, Glyph glyph, const QString& hint,
                             const QRect& geometry) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setAutoRaise(true);
  // The style shades a hovered or pressed button from its button colour, near white by
  // default, under which the white glyph vanishes.
  QPalette palette = button->palette();
  palette.setColor(QPalette::Button, GlyphButtonColour);
  button->setPalette(palette);
  button->setIcon(GlyphIcon(glyph));
  button->setIconSize(QSize(GlyphSize, GlyphSize));
  button->setToolTip(hint);
  button->setAccessibleName(hint);
  button->setGeometry(geometry);
  return button;
}

}  // namespace tessimar
