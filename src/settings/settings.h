// The user's options, one field per key of section "Main" of the settings file.
#pragma once

#include <cstdint>

namespace tessimar {

struct TSettings {
  bool SearchJPG = true;
  bool SearchBMP = true;
  bool SearchGIF = true;
  bool SearchPNG = true;
  bool SearchTIFF = false;
  bool SearchCR2 = false;
  bool SearchHEIC = true;
  bool SearchAVIF = true;
  bool SearchWEBP = true;
  bool SearchSimilar = true;  // kept for the file's sake; nothing reads it
  bool MoveToRecycle = true;
  bool DeleteWithoutAsking = false;
  bool SearchOnlyIdentical = false;
  bool AutoCheckUpdates = false;
  std::int32_t MinPicWidth = 100;
  std::int32_t MinPicHeight = 100;
};

}  // namespace tessimar
