// A folder such as a photograph collection holds: exact copies, edited versions (re-encoded,
// resized, brightened, converted), look-alikes whose files begin alike, uniform pictures,
// damaged and unreadable files and pictures below the minimum size, of every searched type.
#pragma once

#include <string>

#include "picture_fixtures.h"
#include "temp_folder.h"

namespace tessimar::testing {

// A smooth picture with structure at several scales, as photographs have; shift moves its
// pattern, brighten adds to every sample.
Image PhotoLike(int width, int height, int shift = 0, int brighten = 0);

// Writes the folder relative in temp (TIFF files among them: search that type too) and
// returns its path, ending in '/'. Enough pictures that workers run well ahead.
std::string WriteMixedFolder(const TempFolder& temp, const std::string& relative);

}  // namespace tessimar::testing
