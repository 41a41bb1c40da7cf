// The preview's pictures: decoded small and fast, with a white frame drawn into them.
#pragma once

#include <cstdint>
#include <string>

#include "decode/rgb_picture.h"

namespace tessimar {

// The picture at fileName as the preview shows it: decoded like LoadPicture's route (a JPEG as
// it is, any other type re-encoded as JPEG at quality 90), then decoded at 1/4 when height >
// 1500 or width > 2000, else 1/2 when height > 1000 or width > 1000, else full size, in
// libjpeg's fastest mode (JDCT_IFAST, no fancy upsampling, no block smoothing), always to
// 24-bit RGB (gray pictures too). height, width: the catalogued size, not read again.
// Throws PictureError with a clear message ("Cannot open file \"<path>\". <reason>" when the
// file cannot be opened, else the decoder's message).
RgbPicture LoadPreviewPicture(const std::string& fileName, std::int32_t height, std::int32_t width);

// Draws the white frame into the picture: pen width max(2, min(W, H) / 20), centred on the
// bounding rectangle's lines (0,0)-(W,0)-(W,H)-(0,H). A pen of width p centred on the line at c
// covers c - floor(p/2) to c - floor(p/2) + p - 1, so it paints the outermost ceil(p/2) rows and
// columns at the top and left (lines 0) and floor(p/2) at the bottom and right (lines H and W,
// just outside the picture): for p = 11, 6 and 5; for p = 22, 11 on every side.
void DrawFrame(RgbPicture& picture);

}  // namespace tessimar
