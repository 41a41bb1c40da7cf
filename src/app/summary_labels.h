// The summary line under the preview: the number of files scanned and, to its right, the
// number of pairs found.
#pragma once

class QLabel;

namespace tessimar {

// Places both labels at the size of their texts: the file count at x 20, the pair count at
// x 165, both at y 14. A file count whose text would reach the pair count's (10,000 and
// more) pushes the pair count right, to one blank after it. The blanks the pair count's
// caption begins with may lie under the file count: they draw nothing.
void PlaceSummaryLabels(QLabel& scannedCount, QLabel& duplicatesFound);

}  // namespace tessimar
