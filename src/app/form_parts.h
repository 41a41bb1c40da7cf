// The building blocks of the main window: panels in the application's colour, labels
// at a pixel font height, flat image buttons.
#pragma once

#include <QColor>
#include <QRect>
#include <QString>

#include "app/glyphs.h"

class QFrame;
class QLabel;
class QToolButton;
class QVBoxLayout;
class QWidget;

namespace tessimar {

inline const QColor PanelColour(0x60, 0x6A, 0x85);
inline const QColor CaptionGray(128, 128, 128);
// The font height of the captions under the preview's action buttons.
inline constexpr int ActionCaptionPixels = 15;
// Behind a glyph button under the pointer: a darker shade of PanelColour.
inline const QColor GlyphButtonColour(0x3C, 0x43, 0x57);

enum class Border { None, Flat };

// A panel, a pane to screen readers; coloured ones are painted in PanelColour with white text.
QFrame* MakePanel(QWidget* parent, const char* name, Border border, bool coloured);

// A coloured panel of a fixed height at the end of a column.
QFrame* AddPanel(QVBoxLayout* layout, QWidget* parent, const char* name, int height, Border border);

// A column without margins or spacing, the layout of parent.
QVBoxLayout* BareColumn(QWidget* parent);

// A label in the window's font family at pixelSize, in colour.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int pixelSize,
                  const QColor& colour = Qt::white);

// A flat button showing only its glyph; the hint is its tooltip and accessible name.
QToolButton* MakeGlyphButton(QWidget* parent, const char* name, Glyph glyph, const QString& hint,
                             const QRect& geometry);

// Gives a label the given font height and text colour.
void StyleLabel(QLabel& label, int pixelSize, const QColor& colour);

}  // namespace tessimar
