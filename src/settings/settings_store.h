// Reading and writing the settings file: section "Main" with the options, and section
// "ProtectedFolders" with the folders a batch clean-up never touches.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/ini_file.h"
#include "settings/settings.h"

namespace tessimar {

inline constexpr std::string_view SettingsFileName = "Tessimar.ini";
inline constexpr std::string_view SettingsSection = "Main";
inline constexpr std::string_view ProtectedFoldersSection = "ProtectedFolders";

// The settings with the subfolder switch, which the window keeps in a check box.
struct StoredSettings {
  TSettings Settings;
  bool ScanSubfolders = true;
};

// A value as the settings file holds an integer: decimal digits with an optional sign,
// or hexadecimal after "$" or "0x"; nothing for any other text or a value out of range.
std::optional<std::int32_t> ReadIntegerValue(std::string_view text);

StoredSettings ReadSettings(const IniFile& file);
void WriteSettings(IniFile& file, const StoredSettings& stored);

// Defaults when the file does not exist or cannot be read; no file is created.
StoredSettings LoadSettings(const std::string& iniPath);
// Rewrites the file whole through a temporary file, keeping everything else in it.
// Throws std::runtime_error "Unable to write to <path>" and leaves the old file as it was.
void SaveSettings(const std::string& iniPath, const StoredSettings& stored);

// The protected folders: keys Count and Folder1 to FolderN, each a full path ending in '/'
// (one read without it gets it). Reading stops at the first missing key; a file without the
// section has none.
std::vector<std::string> ReadProtectedFolders(const IniFile& file);
// Writes Count and Folder1 to FolderN, removing the keys of folders beyond them. Throws
// std::invalid_argument, writing nothing, for a folder that is not a full path or holds a line
// break, which no line of the file could keep.
void WriteProtectedFolders(IniFile& file, const std::vector<std::string>& folders);

// As LoadSettings and SaveSettings, for the protected folders alone: each keeps the rest of
// the file, so the window may save the folders whenever the user changes them.
std::vector<std::string> LoadProtectedFolders(const std::string& iniPath);
void SaveProtectedFolders(const std::string& iniPath, const std::vector<std::string>& folders);

}  // namespace tessimar
