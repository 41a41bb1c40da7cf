#include "settings/settings_store.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <sstream>
#include <stdexcept>

#include "platform/file_replacement.h"
#include "platform/path_text.h"
#include "platform/regular_file.h"
#include "settings/picture_types.h"

namespace tessimar {
namespace {

struct BoolKey {
  std::string_view Name;
  bool TSettings::*Field;
};
constexpr std::array<BoolKey, 5> OptionKeys{{
    {"SearchSimilar", &TSettings::SearchSimilar},
    {"MoveToRecycle", &TSettings::MoveToRecycle},
    {"DeleteWithoutAsking", &TSettings::DeleteWithoutAsking},
    {"SearchOnlyIdentical", &TSettings::SearchOnlyIdentical},
    {"AutoCheckUpdates", &TSettings::AutoCheckUpdates},
}};
// The Boolean keys in the order they are read and written: the picture types first.
constexpr auto BoolKeys = [] {
  std::array<BoolKey, PictureTypes.size() + OptionKeys.size()> keys{};
  auto next = keys.begin();
  for (const PictureType& type : PictureTypes) *next++ = {type.SettingsKey, type.Search};
  std::copy(OptionKeys.begin(), OptionKeys.end(), next);
  return keys;
}();
constexpr std::string_view ScanSubfoldersKey = "ScanSubfolders";
constexpr std::string_view MinPicWidthKey = "MinPicWidth";
constexpr std::string_view MinPicHeightKey = "MinPicHeight";
constexpr std::string_view FolderCountKey = "Count";

std::string FolderKey(std::size_t number) { return "Folder" + std::to_string(number); }

std::int32_t ReadInteger(const IniFile& file, std::string_view key, std::int32_t fallback) {
  const auto text = file.Read(SettingsSection, key);
  if (!text) return fallback;
  return ReadIntegerValue(*text).value_or(fallback);
}

bool ReadBool(const IniFile& file, std::string_view key, bool fallback) {
  return ReadInteger(file, key, fallback ? 1 : 0) != 0;
}

// The file as it is, or an empty one when it is missing, unreadable, or a folder or FIFO in
// its place.
IniFile LoadFile(const std::string& iniPath) {
  try {
    std::istringstream in(ReadRegularFile(iniPath));
    return IniFile::Parse(in);
  } catch (const std::runtime_error&) {
    return {};
  }
}

// Rewrites the file whole after change has written into it, keeping everything else in it.
void UpdateFile(const std::string& iniPath, const std::function<void(IniFile&)>& change) {
  const std::runtime_error failure("Unable to write to " + iniPath);
  FileReplacement replacement(iniPath);
  IniFile file;
  if (::access(iniPath.c_str(), F_OK) == 0) {
    // A read-only settings file stays as it is, though its folder would take a new one.
    if (::access(iniPath.c_str(), W_OK) != 0) throw failure;
    try {
      std::istringstream in(ReadRegularFile(iniPath));
      file = IniFile::Parse(in);
    } catch (const std::runtime_error&) {
      throw failure;
    }
  }
  change(file);
  std::ostringstream text;
  file.Save(text);
  replacement.Commit(text.str());
}

void CheckFolder(const std::string& folder) {
  if (folder.empty() || folder.front() != '/')
    throw std::invalid_argument("protected folder '" + folder + "' is not a full path");
  if (folder.find_first_of("\r\n") != std::string::npos)
    throw std::invalid_argument("protected folder '" + folder + "' holds a line break");
}

}  // namespace

std::optional<std::int32_t> ReadIntegerValue(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.starts_with('$')) {
    base = 16;
    text.remove_prefix(1);
  } else if (text.starts_with("0x") || text.starts_with("0X")) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty() || text.front() == '-' || text.front() == '+') return std::nullopt;
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (negative) value = -value;
  // Hexadecimal spells negative numbers as their 32-bit pattern, as "$FFFFFFFF" for -1.
  if (base == 16 && value > INT32_MAX && value <= UINT32_MAX) value -= std::int64_t{1} << 32;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

StoredSettings ReadSettings(const IniFile& file) {
  StoredSettings stored;
  TSettings& settings = stored.Settings;
  for (const BoolKey& key : BoolKeys) settings.*key.Field = ReadBool(file, key.Name, settings.*key.Field);
  stored.ScanSubfolders = ReadBool(file, ScanSubfoldersKey, stored.ScanSubfolders);
  settings.MinPicWidth = std::max(0, ReadInteger(file, MinPicWidthKey, settings.MinPicWidth));
  settings.MinPicHeight = std::max(0, ReadInteger(file, MinPicHeightKey, settings.MinPicHeight));
  return stored;
}

void WriteSettings(IniFile& file, const StoredSettings& stored) {
  const TSettings& settings = stored.Settings;
  for (const BoolKey& key : BoolKeys) file.Write(SettingsSection, key.Name, settings.*key.Field ? "1" : "0");
  file.Write(SettingsSection, ScanSubfoldersKey, stored.ScanSubfolders ? "1" : "0");
  file.Write(SettingsSection, MinPicWidthKey, std::to_string(settings.MinPicWidth));
  file.Write(SettingsSection, MinPicHeightKey, std::to_string(settings.MinPicHeight));
}

StoredSettings LoadSettings(const std::string& iniPath) { return ReadSettings(LoadFile(iniPath)); }

void SaveSettings(const std::string& iniPath, const StoredSettings& stored) {
  UpdateFile(iniPath, [&](IniFile& file) { WriteSettings(file, stored); });
}

std::vector<std::string> ReadProtectedFolders(const IniFile& file) {
  std::vector<std::string> folders;
  const auto count = file.Read(ProtectedFoldersSection, FolderCountKey);
  const std::int32_t n = count ? ReadIntegerValue(*count).value_or(0) : 0;
  for (std::int32_t k = 1; k <= n; ++k) {
    const auto folder = file.Read(ProtectedFoldersSection, FolderKey(static_cast<std::size_t>(k)));
    if (!folder) break;
    if (!folder->empty()) folders.push_back(WithTrailingSlash(*folder));
  }
  return folders;
}

void WriteProtectedFolders(IniFile& file, const std::vector<std::string>& folders) {
  std::ranges::for_each(folders, CheckFolder);
  file.Write(ProtectedFoldersSection, FolderCountKey, std::to_string(folders.size()));
  for (std::size_t k = 1; k <= folders.size(); ++k)
    file.Write(ProtectedFoldersSection, FolderKey(k), WithTrailingSlash(folders[k - 1]));
  for (std::size_t k = folders.size() + 1; file.Read(ProtectedFoldersSection, FolderKey(k)); ++k)
    file.Erase(ProtectedFoldersSection, FolderKey(k));
}

std::vector<std::string> LoadProtectedFolders(const std::string& iniPath) {
  return ReadProtectedFolders(LoadFile(iniPath));
}

void SaveProtectedFolders(const std::string& iniPath, const std::vector<std::string>& folders) {
  UpdateFile(iniPath, [&](IniFile& file) { WriteProtectedFolders(file, folders); });
}

}  // namespace tessimar
