// The artwork of the window's image buttons and the product's picture, drawn in code.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace tessimar {

enum class Glyph {
  AddFolder,
  RemoveFolder,
  MoveUp,
  MoveDown,
  ClearAll,
  Swap,
  MoveFile,
  BrowseFile,
  DeleteFile,
};

// Side of a glyph in pixels.
inline constexpr int GlyphSize = 32;

// White line art for the #606A85 panels.
QIcon GlyphIcon(Glyph glyph);

// The product's picture at side x side pixels on a transparent ground; the same drawing
// as icons/tessimar.svg.
QPixmap ProductPicture(int side);

}  // namespace tessimar
