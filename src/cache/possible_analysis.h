// What an analysis can look like, so that a stored one that no analysis gives is not trusted.
#pragma once

#include "analysis/picture_analysis.h"

namespace tessimar {

// Whether analysing a picture under key can give analysis: one passed over is all zeros; an
// analysed one is at least as large as key and MinimumSide ask on each side, and holds a
// signature as SelectSignature lists it, or none when only identical files are sought.
bool PossibleAnalysis(const PictureAnalysis& analysis, const AnalysisKey& key);

}  // namespace tessimar
