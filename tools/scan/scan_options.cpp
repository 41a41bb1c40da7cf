#include "scan_options.h"

#include <fstream>
#include <sstream>

namespace tessimar {
namespace {

struct TypeName {
  std::string_view Name;
  bool TSettings::*Field;
};
constexpr TypeName TypeNames[] = {
    {"bmp", &TSettings::SearchBMP}, {"jpg", &TSettings::SearchJPG},  {"gif", &TSettings::SearchGIF},
    {"png", &TSettings::SearchPNG}, {"tif", &TSettings::SearchTIFF}, {"cr2", &TSettings::SearchCR2},
};

void SetTypes(TSettings& settings, const std::string& list) {
  for (const TypeName& type : TypeNames) settings.*type.Field = false;
  std::istringstream items(list);
  std::string item;
  while (std::getline(items, item, ',')) {
    bool known = false;
    for (const TypeName& type : TypeNames)
      if (item == type.Name) known = (settings.*type.Field = true);
    if (!known) throw UsageError("unknown picture type '" + item + "' (use bmp, jpg, gif, png, tif, cr2)");
  }
}

StoredSettings ReadSettingsFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw UsageError("cannot read settings file '" + path + "'");
  return ReadSettings(IniFile::Parse(in));
}

}  // namespace

const char* const ScanUsage =
    "Usage: tessimar-scan [options] FOLDER...\n"
    "Walks the folders as a Tessimar scan does.\n"
    "\n"
    "  --list               print the catalogue, one full path per line\n"
    "  --types LIST         picture types to catalogue, from bmp,jpg,gif,png,tif,cr2\n"
    "  --no-subfolders      walk the listed folders only, not the folders below them\n"
    "  --settings FILE      take types, sizes and switches from a settings file\n"
    "  --help               show this help\n"
    "  --version            show the version\n";

ScanOptions ParseScanOptions(const std::vector<std::string>& arguments) {
  ScanOptions options;
  std::optional<std::string> types;
  bool noSubfolders = false;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= arguments.size()) throw UsageError("option '" + argument + "' needs a value");
      return arguments[++i];
    };
    if (optionsEnded || argument.empty() || argument[0] != '-') {
      options.Folders.push_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (argument == "--list") {
      options.List = true;
    } else if (argument == "--types") {
      types = value();
    } else if (argument == "--no-subfolders") {
      noSubfolders = true;
    } else if (argument == "--settings") {
      options.Stored = ReadSettingsFile(value());
    } else if (argument == "--help") {
      options.Help = true;
    } else if (argument == "--version") {
      options.Version = true;
    } else {
      throw UsageError("unknown option '" + argument + "'");
    }
  }
  if (types) SetTypes(options.Stored.Settings, *types);
  if (noSubfolders) options.Stored.ScanSubfolders = false;
  return options;
}

}  // namespace tessimar
