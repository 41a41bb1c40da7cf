#include "scan_options.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "platform/file_identity.h"
#include "platform/path_text.h"
#include "platform/regular_file.h"
#include "settings/picture_types.h"

namespace tessimar {
namespace {

std::string TypeNameList() {
  std::string names;
  for (const PictureType& type : PictureTypes) names.append(names.empty() ? "" : ",").append(type.Name);
  return names;
}

void SetTypes(TSettings& settings, const std::string& list) {
  for (const PictureType& type : PictureTypes) settings.*type.Search = false;
  std::istringstream items(list);
  std::string item;
  while (std::getline(items, item, ',')) {
    bool known = false;
    for (const PictureType& type : PictureTypes)
      if (item == type.Name) known = (settings.*type.Search = true);
    if (!known) throw UsageError("unknown picture type '" + item + "' (use " + TypeNameList() + ")");
  }
}

std::int32_t Size(const std::string& option, const std::string& text) {
  const auto value = ReadIntegerValue(text);
  if (!value || text.find_first_not_of("+-0123456789") != std::string::npos)
    throw UsageError("option '" + option + "' needs a whole number, not '" + text + "'");
  return std::max(0, *value);  // as the settings dialog takes a negative size
}

int Jobs(const std::string& option, const std::string& text) {
  const auto value = ReadIntegerValue(text);
  if (!value || text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
      *value > AnalysisPipeline::MaxJobs)
    throw UsageError("option '" + option + "' needs a number of threads from 0 to " +
                     std::to_string(AnalysisPipeline::MaxJobs) + ", not '" + text + "'");
  return *value;
}

BatchChoice PlanChoice(const std::string& option, const std::string& text) {
  if (text == "lesser") return BatchChoice::Lesser;
  if (text == "second") return BatchChoice::Second;
  if (text == "first") return BatchChoice::First;
  throw UsageError("option '" + option + "' needs lesser, second or first, not '" + text + "'");
}

int MinSimilarity(const std::string& option, const std::string& text) {
  const auto value = ReadIntegerValue(text);
  if (!value || text.find_first_not_of("0123456789") != std::string::npos || *value < 1 || *value > 100)
    throw UsageError("option '" + option + "' needs a whole number from 1 to 100, not '" + text + "'");
  return *value;
}

// A folder that does not exist protects nothing: a misspelt name would leave the folder it
// meant unprotected, so it stops the run instead.
std::string ProtectedFolder(const std::string& option, const std::string& text) {
  if (text.empty()) throw UsageError("option '" + option + "' needs a folder");
  const std::string folder = WithTrailingSlash(std::filesystem::absolute(text).lexically_normal().string());
  if (!IsFolder(folder)) throw UsageError("option '" + option + "' names no folder: '" + text + "'");
  return folder;
}

StoredSettings ReadSettingsFile(const std::string& path) {
  try {
    std::istringstream in(ReadRegularFile(path));
    return ReadSettings(IniFile::Parse(in));
  } catch (const std::runtime_error& error) {
    throw UsageError("cannot read settings file '" + path + "': " + error.what());
  }
}

}  // namespace

std::string ScanUsage() {
  return "Usage: tessimar-scan [options] FOLDER...\n"
    "       tessimar-scan --plan RULE [options] FOLDER...\n"
    "       tessimar-scan --signature FILE...\n"
    "Scans the folders as Tessimar does and writes the pairs found as CSV.\n"
    "\n"
    "  -o FILE              write the CSV to FILE instead of standard output\n"
    "  --list               only walk the folders and print the catalogue, one path a line\n"
    "  --identical-only     pair byte-identical files only\n"
    "  --min-width N        pass over pictures narrower than N pixels\n"
    "  --min-height N       pass over pictures lower than N pixels\n"
    "  --types LIST         picture types to catalogue, from " + TypeNameList() + "\n"
    "  --no-subfolders      walk the listed folders only, not the folders below them\n"
    "  --settings FILE      take types, sizes and switches from a settings file\n"
    "  --cache FILE         remember analysed pictures in FILE instead of\n"
    "                       $XDG_CACHE_HOME/Tessimar/pictures.sqlite (~/.cache/Tessimar/...)\n"
    "  --no-cache           analyse every picture, neither reading nor writing a cache\n"
    "  --jobs N             analyse the pictures on N threads ahead of the comparisons\n"
    "                       (default: one per core, here " + std::to_string(DefaultJobs()) + "); 0 analyses each\n"
    "                       in turn on the scan's own thread; the pairs are the same whatever N\n"
    "  --plan RULE          instead of the CSV, print the files a batch clean-up would act on,\n"
    "                       one path a line, and change nothing; RULE picks one picture of\n"
    "                       each pair: lesser (fewer pixels, then the smaller file, then the\n"
    "                       later modification, then the second), second or first; a file\n"
    "                       is never taken when another file of any of its pairs is taken\n"
    "  --min-similarity N   with --plan: only pairs of similarity N or more, 1 to 100\n"
    "                       (default 100)\n"
    "  --protect DIR        with --plan: never a file in DIR or below it; the pair's other\n"
    "                       picture instead, unless it is protected too (repeatable)\n"
    "  -0                   with --plan: end each path with a NUL byte, not a line feed\n"
    "  --signature          print the size and signature of each picture FILE\n"
    "  --help               show this help\n"
    "  --version            show the version\n";
}

ScanOptions ParseScanOptions(const std::vector<std::string>& arguments, int defaultJobs) {
  ScanOptions options;
  options.Jobs = defaultJobs;
  std::optional<std::string> types;
  std::optional<std::int32_t> minWidth, minHeight;
  bool noSubfolders = false;
  bool identicalOnly = false;
  bool optionsEnded = false;
  std::optional<BatchChoice> plan;
  std::optional<int> minSimilarity;
  std::vector<std::string> protectedFolders;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= arguments.size()) throw UsageError("option '" + argument + "' needs a value");
      return arguments[++i];
    };
    if (argument.empty()) {
      throw UsageError("an empty name where a folder or file is expected");
    } else if (optionsEnded || argument[0] != '-') {
      options.Folders.push_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (argument == "--list") {
      options.List = true;
    } else if (argument == "-o") {
      options.Output = value();
      if (options.Output.empty()) throw UsageError("option '-o' needs a file name");
    } else if (argument == "--identical-only") {
      identicalOnly = true;
    } else if (argument == "--min-width") {
      minWidth = Size(argument, value());
    } else if (argument == "--min-height") {
      minHeight = Size(argument, value());
    } else if (argument == "--signature") {
      options.Signature = true;
    } else if (argument == "--types") {
      types = value();
    } else if (argument == "--no-subfolders") {
      noSubfolders = true;
    } else if (argument == "--settings") {
      options.Stored = ReadSettingsFile(value());
    } else if (argument == "--cache") {
      options.CacheFile = value();
      if (options.CacheFile.empty()) throw UsageError("option '--cache' needs a file name");
    } else if (argument == "--no-cache") {
      options.NoCache = true;
    } else if (argument == "--jobs") {
      options.Jobs = Jobs(argument, value());
    } else if (argument == "--plan") {
      plan = PlanChoice(argument, value());
    } else if (argument == "--min-similarity") {
      minSimilarity = MinSimilarity(argument, value());
    } else if (argument == "--protect") {
      protectedFolders.push_back(ProtectedFolder(argument, value()));
    } else if (argument == "-0") {
      options.NulAfterPath = true;
    } else if (argument == "--help") {
      options.Help = true;
    } else if (argument == "--version") {
      options.Version = true;
    } else {
      throw UsageError("unknown option '" + argument + "'");
    }
  }
  TSettings& settings = options.Stored.Settings;
  if (types) SetTypes(settings, *types);
  if (identicalOnly) settings.SearchOnlyIdentical = true;
  if (minWidth) settings.MinPicWidth = *minWidth;
  if (minHeight) settings.MinPicHeight = *minHeight;
  if (noSubfolders) options.Stored.ScanSubfolders = false;
  if (plan) {
    if (options.List || options.Signature) throw UsageError("option '--plan' goes with neither --list nor --signature");
    BatchRule rule{.Choice = *plan, .ProtectedFolders = std::move(protectedFolders)};
    if (minSimilarity) rule.MinSimilarity = *minSimilarity;
    options.Plan = std::move(rule);
  } else if (minSimilarity || !protectedFolders.empty() || options.NulAfterPath) {
    throw UsageError("options '--min-similarity', '--protect' and '-0' need '--plan'");
  }
  return options;
}

}  // namespace tessimar
