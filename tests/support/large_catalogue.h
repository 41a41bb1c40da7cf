// A catalogue filled through the calls a scan makes, with as many pairs as a load
// measurement asks for, so the window can show them without a scan of that size.
#pragma once

#include <cstdint>

#include "catalogue/catalogue.h"

namespace tessimar::testing {

// Pairs for each picture: each picture after the first few pairs with this many earlier ones.
inline constexpr std::int32_t PairsPerPicture = 5;

// Replaces the catalogue's content with pairs / PairsPerPicture + PairsPerPicture pictures spread over
// folders (no files behind them) and exactly `pairs` pairs, appended in the order the
// matching pass appends them: by the later picture, each with randomly chosen earlier ones
// and a similarity of two decimals. The same seed gives the same catalogue.
void FillLikeAScan(Catalogue& catalogue, std::int32_t pairs, std::uint32_t seed);

}  // namespace tessimar::testing
