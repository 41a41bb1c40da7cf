#include "app/preview_image.h"

#include <QPainter>

namespace tessimar {

void PreviewImage::SetPicture(QImage picture) {
  picture_ = std::move(picture);
  update();
}

void PreviewImage::ClearPicture() { SetPicture({}); }

void PreviewImage::paintEvent(QPaintEvent*) {
  if (picture_.isNull()) return;
  QSize shown = picture_.size();
  if (shown.width() > width() || shown.height() > height()) shown.scale(size(), Qt::KeepAspectRatio);
  const QRect place(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(place, picture_);
}

}  // namespace tessimar
