// Reading and writing the settings file: section "Main", fourteen keys.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/ini_file.h"
#include "settings/settings.h"

namespace tessimar {

inline constexpr std::string_view SettingsFileName = "Tessimar.ini";
inline constexpr std::string_view SettingsSection = "Main";

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

}  // namespace tessimar
