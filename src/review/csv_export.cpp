#include "review/csv_export.h"

#include <string>

#include "platform/number_format.h"
#include "platform/utf8_text.h"

namespace tessimar {
namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view LineEnd = "\r\n";
constexpr std::string_view Header = "Group Num;Picture Filename;Similarity;";

}  // namespace

void WritePairsCsv(std::ostream& out, const Catalogue& catalogue, std::string_view groupSeparator) {
  out << ByteOrderMark << Header << LineEnd;
  for (std::int32_t k = 0; k <= catalogue.LastPairIndex; ++k) {
    const TPicturePair& pair = catalogue.PicturePairs[static_cast<std::size_t>(k)];
    const std::string similarity = FormatGrouped(pair.Similarity, groupSeparator);
    // Fields go out unquoted: a reader splitting on ";" must take the path whole. A path's bytes
    // that are not UTF-8 go out as the window shows them, so the file stays valid UTF-8.
    for (std::int32_t picture : {pair.PicIndex1, pair.PicIndex2})
      out << k + 1 << ';' << ValidUtf8(catalogue.FullPath(picture)) << ';' << similarity << ';' << LineEnd;
  }
}

}  // namespace tessimar
