#include "decode/picture_draw.h"

#include "decode/picture_error.h"

namespace tessimar {

PictureDraw::PictureDraw(MinimumSize minimum, WorkingBitmap& bitmap) : minimum_(minimum), bitmap_(bitmap) {}

void PictureDraw::Begin(std::int32_t width, std::int32_t height) {
  size_ = {height, width};
  if (ChooseScaleDenominator(size_, minimum_) == 8) {
    target_ = &eighth_.emplace(bitmap_);
  } else {
    target_ = &encoder_.emplace();
  }
  target_->Begin(width, height);
}

void PictureDraw::Row(std::int32_t y, const std::uint8_t* rgb) { target_->Row(y, rgb); }

PictureSize PictureDraw::Finish() {
  if (target_ == nullptr) throw PictureError("the decoder gave no picture");
  if (eighth_) {
    eighth_->Finish();
    return size_;
  }
  return DrawJpeg(encoder_->Finish(), minimum_, bitmap_);
}

}  // namespace tessimar
