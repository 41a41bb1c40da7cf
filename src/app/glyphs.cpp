#include "app/glyphs.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace tessimar {
namespace {

// A folder outline in the glyph's lower part.
QPainterPath FolderOutline() {
  QPainterPath path;
  path.moveTo(3, 9);
  path.lineTo(12, 9);
  path.lineTo(15, 12);
  path.lineTo(29, 12);
  path.lineTo(29, 27);
  path.lineTo(3, 27);
  path.closeSubpath();
  return path;
}

void Arrow(QPainter& painter, QPointF from, QPointF to) {
  painter.drawLine(from, to);
  const QPointF along = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
  const QPointF across(-along.y(), along.x());
  painter.drawLine(to, to - 6 * along + 6 * across);
  painter.drawLine(to, to - 6 * along - 6 * across);
}

void DrawFolderSign(QPainter& painter, bool plus) {
  painter.drawPath(FolderOutline());
  painter.drawLine(QPointF(11, 20), QPointF(21, 20));
  if (plus) painter.drawLine(QPointF(16, 15), QPointF(16, 25));
}

void DrawTrashCan(QPainter& painter) {
  painter.drawLine(QPointF(6, 8), QPointF(26, 8));
  painter.drawLine(QPointF(13, 8), QPointF(13, 4));
  painter.drawLine(QPointF(13, 4), QPointF(19, 4));
  painter.drawLine(QPointF(19, 4), QPointF(19, 8));
  painter.drawPolyline(QPolygonF({{8, 8}, {10, 28}, {22, 28}, {24, 8}}));
  for (qreal x : {13.0, 16.0, 19.0}) painter.drawLine(QPointF(x, 12), QPointF(x, 24));
}

void Draw(QPainter& painter, Glyph glyph) {
  switch (glyph) {
    case Glyph::AddFolder: return DrawFolderSign(painter, true);
    case Glyph::RemoveFolder: return DrawFolderSign(painter, false);
    case Glyph::MoveUp: return Arrow(painter, {16, 28}, {16, 4});
    case Glyph::MoveDown: return Arrow(painter, {16, 4}, {16, 28});
    case Glyph::ClearAll:
      painter.drawEllipse(QPointF(16, 16), 12, 12);
      painter.drawLine(QPointF(11, 11), QPointF(21, 21));
      painter.drawLine(QPointF(21, 11), QPointF(11, 21));
      return;
    case Glyph::Swap:
      Arrow(painter, {4, 11}, {28, 11});
      Arrow(painter, {28, 22}, {4, 22});
      return;
    case Glyph::MoveFile:
      painter.drawPath(FolderOutline());
      Arrow(painter, {2, 4}, {17, 19});
      return;
    case Glyph::BrowseFile:
      painter.drawEllipse(QPointF(13, 13), 8, 8);
      painter.drawLine(QPointF(19, 19), QPointF(28, 28));
      return;
    case Glyph::DeleteFile: return DrawTrashCan(painter);
  }
}

QPixmap GlyphPixmap(Glyph glyph, const QColor& colour) {
  QPixmap pixmap(GlyphSize, GlyphSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(colour, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  Draw(painter, glyph);
  return pixmap;
}

}  // namespace

// The style's own greying leaves white lines white, so disabled glyphs get a dim colour.
QIcon GlyphIcon(Glyph glyph) {
  QIcon icon(GlyphPixmap(glyph, Qt::white));
  icon.addPixmap(GlyphPixmap(glyph, QColor(0x8E, 0x95, 0xA9)), QIcon::Disabled);
  return icon;
}

// Drawn on an 84-unit square: a panel-coloured tile, two photographs laid over each
// other, each with a hill and a sun.
QPixmap ProductPicture(int side) {
  QPixmap pixmap(side, side);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(side / 84.0, side / 84.0);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x60, 0x6A, 0x85));
  painter.drawRoundedRect(QRectF(2, 2, 80, 80), 14, 14);
  for (const QPointF corner : {QPointF(12, 14), QPointF(30, 32)}) {
    painter.setPen(QPen(QColor(0x3C, 0x43, 0x57), 1.5));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(corner, QSizeF(42, 36)));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x27, 0x59, 0xAD));
    painter.drawPolygon(QPolygonF({corner + QPointF(4, 32), corner + QPointF(17, 14), corner + QPointF(27, 25),
                                   corner + QPointF(32, 19), corner + QPointF(38, 32)}));
    painter.setBrush(QColor(0xF2, 0xB1, 0x34));
    painter.drawEllipse(corner + QPointF(31, 9), 4.5, 4.5);
  }
  return pixmap;
}

}  // namespace tessimar
