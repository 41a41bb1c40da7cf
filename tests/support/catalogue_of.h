// A catalogue of named pictures (no files behind them) and pairs, for the code that only
// reads the lists.
#pragma once

#include <string>
#include <vector>

#include "catalogue/catalogue.h"

namespace tessimar::testing {

// paths: full paths in catalogue order, a picture in the same folder as the one before it
// sharing its folder entry; pairs: by index into paths.
Catalogue CatalogueOf(const std::vector<std::string>& paths, const std::vector<TPicturePair>& pairs = {});

}  // namespace tessimar::testing
