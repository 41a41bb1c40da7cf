// One input as a picture file of one type (TESSIMAR_FUZZ_EXTENSION, as ".jpg"), loaded as a
// scan loads it: it may fail with PictureError, never otherwise.
#include <cstddef>
#include <cstdint>

#include "decode/picture_error.h"
#include "decode/picture_loader.h"
#include "fuzz_check.h"
#include "scratch_file.h"

#ifndef TESSIMAR_FUZZ_EXTENSION
#error "TESSIMAR_FUZZ_EXTENSION names the type of file to load, as \".jpg\""
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const tessimar::fuzz::ScratchFile file(TESSIMAR_FUZZ_EXTENSION);
  static tessimar::WorkingBitmap bitmap;
  try {
    const tessimar::PictureSize picture = tessimar::LoadPicture(file.Write(data, size), bitmap);
    tessimar::fuzz::Require(picture.Width > 0 && picture.Height > 0, "a loaded picture has pixels");
  } catch (const tessimar::PictureError&) {
  }
  return 0;
}
