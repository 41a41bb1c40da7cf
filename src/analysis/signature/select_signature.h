// The signature stored in a picture's record: positions of the kept coefficients, by sign.
#pragma once

#include "analysis/signature/signature_arrays.h"
#include "catalogue/pic_info.h"

namespace tessimar {

// Lists the positions of the positive elements of a in pos and of the negative ones in neg,
// each in row-major order and filled up with (0, 0); each list takes at most 250 positions.
void SelectSignature(const CoefficientArray& a, TWaveletCoefs& pos, TWaveletCoefs& neg);

// The truncated coefficient array whose kept positions pos and neg list: +1.0 and -1.0 there,
// 0.0 elsewhere. The inverse of SelectSignature, as a signature lists every kept position.
void SignatureCoefficients(const TWaveletCoefs& pos, const TWaveletCoefs& neg, CoefficientArray& a);

// Whether SelectSignature over a truncated array could give pos and neg: each list its
// positions within the array in strictly row-major order, then (0, 0) to the end; no
// position in both lists; at most 250 in all, as truncation keeps no more.
bool PossibleSignature(const TWaveletCoefs& pos, const TWaveletCoefs& neg);

}  // namespace tessimar
