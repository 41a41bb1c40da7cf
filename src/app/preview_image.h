// One picture of the preview: shown whole, reduced with its shape kept when it is larger
// than the control, at its own size when smaller, always centred; a click opens it.
#pragma once

#include <QImage>

#include "app/clickable_label.h"

namespace tessimar {

class PreviewImage : public ClickableLabel {
  Q_OBJECT

 public:
  using ClickableLabel::ClickableLabel;

  void SetPicture(QImage picture);
  const QImage& Picture() const { return picture_; }
  void ClearPicture();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage picture_;
};

}  // namespace tessimar
