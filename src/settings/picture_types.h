// The picture types a scan can look for, one row a type: its name on the command line,
// the masks the folder walk catalogues by, the extensions the loader takes, its key in the
// settings file, its field in the settings and its box in the settings dialog.
#pragma once

#include <algorithm>
#include <array>
#include <string_view>

#include "settings/settings.h"

namespace tessimar {

struct PictureType {
  std::string_view Name;  // as tessimar-scan --types spells it
  // Matched without case; "*" stands for any run of characters; "" for none.
  std::array<std::string_view, 3> Masks;
  int Rank;  // the walk tries the masks, and the dialog lists its boxes, lowest first
  std::array<std::string_view, 3> Extensions;  // upper case, with the dot; "" for none
  std::string_view SettingsKey;
  bool TSettings::*Search;
  std::string_view BoxName;  // the settings dialog's check box
  std::string_view BoxCaption;
  std::array<int, 4> BoxGeometry;  // left, top, width and height in its group box
};

// In the order of the settings file's keys. A name matching two masks is catalogued under
// the mask the walk tries first.
inline constexpr std::array<PictureType, 9> PictureTypes{{
    {"jpg", {"*.jp*g"}, 2, {".JPG", ".JPEG"}, "SearchJPG", &TSettings::SearchJPG,  //
     "JPGCheckBox", " JPG", {31, 61, 75, 23}},
    {"bmp", {"*.bmp"}, 0, {".BMP"}, "SearchBMP", &TSettings::SearchBMP,  //
     "BMPCheckBox", " BMP", {31, 31, 75, 23}},
    {"gif", {"*.gif"}, 4, {".GIF"}, "SearchGIF", &TSettings::SearchGIF,  //
     "GIFCheckBox", " GIF", {31, 92, 75, 22}},
    {"png", {"*.png"}, 6, {".PNG"}, "SearchPNG", &TSettings::SearchPNG,  //
     "PNGCheckBox", " PNG", {31, 122, 75, 22}},
    {"tif", {"*.tif*"}, 7, {".TIF", ".TIFF"}, "SearchTIFF", &TSettings::SearchTIFF,  //
     "TIFFCheckBox", " TIFF", {31, 152, 75, 22}},
    {"cr2", {"*.cr2"}, 8, {".CR2"}, "SearchCR2", &TSettings::SearchCR2,  //
     "CR2CheckBox", "Canon CR2", {31, 182, 122, 22}},
    {"heic", {"*.heic", "*.heif", "*.hif"}, 1, {".HEIC", ".HEIF", ".HIF"}, "SearchHEIC", &TSettings::SearchHEIC,  //
     "HEICCheckBox", " HEIC", {108, 31, 75, 23}},
    {"avif", {"*.avif"}, 3, {".AVIF"}, "SearchAVIF", &TSettings::SearchAVIF,  //
     "AVIFCheckBox", " AVIF", {108, 61, 75, 23}},
    {"webp", {"*.webp"}, 5, {".WEBP"}, "SearchWEBP", &TSettings::SearchWEBP,  //
     "WEBPCheckBox", " WEBP", {108, 92, 75, 22}},
}};

// The table's rows by rank: the walk's order of masks and the dialog's order of boxes.
inline constexpr std::array<PictureType, PictureTypes.size()> PictureTypesByRank = [] {
  auto types = PictureTypes;
  std::sort(types.begin(), types.end(), [](const auto& a, const auto& b) { return a.Rank < b.Rank; });
  return types;
}();

inline bool AnyTypeEnabled(const TSettings& settings) {
  for (const PictureType& type : PictureTypes)
    if (settings.*type.Search) return true;
  return false;
}

}  // namespace tessimar
