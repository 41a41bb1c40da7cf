// Files on disk catalogued as the folder walk catalogues them, for the batch's run and undo.
#pragma once

#include <string>
#include <vector>

#include "catalogue/catalogue.h"

namespace tessimar::testing {

// CatalogueOf(paths, pairs), each picture with the identity, size and DOS time of its file
// (links followed), as the walk records them.
Catalogue ScannedCatalogue(const std::vector<std::string>& paths, const std::vector<TPicturePair>& pairs);

}  // namespace tessimar::testing
