// The pair list as a semicolon-separated text: UTF-8 with a byte-order mark, CR LF after
// every line, ";" after every field, two lines per pair. Bytes of a path that are not UTF-8
// are written as U+FFFD, so the text is valid UTF-8 whatever the file names.
#pragma once

#include <ostream>
#include <string_view>

#include "catalogue/catalogue.h"

namespace tessimar {

// Writes the pairs 0 to LastPairIndex in their current order. groupSeparator: the
// digit-group separator of the similarity (which never reaches a thousand).
void WritePairsCsv(std::ostream& out, const Catalogue& catalogue, std::string_view groupSeparator);

}  // namespace tessimar
