#include "cache/possible_analysis.h"

#include "analysis/signature/select_signature.h"

namespace tessimar {

bool PossibleAnalysis(const PictureAnalysis& analysis, const AnalysisKey& key) {
  if (!analysis.Analysed) return analysis == PictureAnalysis{};
  if (!key.LargeEnough(analysis.Height, analysis.Width)) return false;
  if (key.SearchOnlyIdentical)
    return analysis.WaveletCoefsPos == TWaveletCoefs{} && analysis.WaveletCoefsNeg == TWaveletCoefs{};
  return PossibleSignature(analysis.WaveletCoefsPos, analysis.WaveletCoefsNeg);
}

}  // namespace tessimar
