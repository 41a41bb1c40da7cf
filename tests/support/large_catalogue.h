// A catalogue filled through the calls a scan makes, with as many pairs as a load
// measurement asks for, so the window can show them without a scan of that size.
#pragma once

#include <cstdint>

#include "catalogue/catalogue.h"

namespace tessimar::testing {

// Replaces the catalogue's content with pictures spread over folders (no files behind them)
// and exactly `pairs` pairs, appended as the matching pass appends them: in the order of the
// later picture, at most one pair per picture, each with one of the nearest earlier pictures,
// and a similarity the signature comparison can give. One picture in ten pairs with nothing,
// so there are about 1.1 pictures per pair. The same seed gives the same catalogue.
void FillLikeAScan(Catalogue& catalogue, std::int32_t pairs, std::uint32_t seed);

}  // namespace tessimar::testing
