#include "settings/settings_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace tessimar {
namespace {

// The keys in the order they are read and written, with their fields.
struct BoolKey {
  std::string_view Name;
  bool TSettings::*Field;
};
constexpr std::array<BoolKey, 11> BoolKeys{{
    {"SearchJPG", &TSettings::SearchJPG},
    {"SearchBMP", &TSettings::SearchBMP},
    {"SearchGIF", &TSettings::SearchGIF},
    {"SearchPNG", &TSettings::SearchPNG},
    {"SearchTIFF", &TSettings::SearchTIFF},
    {"SearchCR2", &TSettings::SearchCR2},
    {"SearchSimilar", &TSettings::SearchSimilar},
    {"MoveToRecycle", &TSettings::MoveToRecycle},
    {"DeleteWithoutAsking", &TSettings::DeleteWithoutAsking},
    {"SearchOnlyIdentical", &TSettings::SearchOnlyIdentical},
    {"AutoCheckUpdates", &TSettings::AutoCheckUpdates},
}};
constexpr std::string_view ScanSubfoldersKey = "ScanSubfolders";
constexpr std::string_view MinPicWidthKey = "MinPicWidth";
constexpr std::string_view MinPicHeightKey = "MinPicHeight";

std::int32_t ReadInteger(const IniFile& file, std::string_view key, std::int32_t fallback) {
  const auto text = file.Read(SettingsSection, key);
  if (!text) return fallback;
  return ReadIntegerValue(*text).value_or(fallback);
}

bool ReadBool(const IniFile& file, std::string_view key, bool fallback) {
  return ReadInteger(file, key, fallback ? 1 : 0) != 0;
}

[[noreturn]] void FailToWrite(const std::string& path) { throw std::runtime_error("Unable to write to " + path); }

// Writes text to a new file beside target and renames it over target; on failure
// target is left as it was and no temporary file remains.
bool ReplaceFile(const std::string& target, const std::string& text, mode_t mode) {
  std::string temporary = target + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return false;
  bool ok = ::fchmod(fd, mode) == 0;
  for (std::size_t done = 0; ok && done < text.size();) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<std::size_t>(n);
  }
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
  if (!ok) ::unlink(temporary.c_str());
  return ok;
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

StoredSettings LoadSettings(const std::string& iniPath) {
  // A folder or a FIFO at the settings path is no settings file: opening a FIFO would wait
  // for a writer, and reading a folder fails.
  std::error_code error;
  if (!std::filesystem::is_regular_file(iniPath, error)) return {};
  std::ifstream in(iniPath, std::ios::binary);
  if (!in) return {};
  try {
    return ReadSettings(IniFile::Parse(in));
  } catch (const std::ios_base::failure&) {
    return {};
  }
}

void SaveSettings(const std::string& iniPath, const StoredSettings& stored) {
  // Write through a link to the file it names, so the link stays.
  std::error_code error;
  const auto resolved = std::filesystem::weakly_canonical(iniPath, error);
  const std::string target = error ? iniPath : resolved.string();

  IniFile file;
  mode_t mode = 0644;
  struct stat st{};
  if (::stat(target.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode) || ::access(target.c_str(), W_OK) != 0) FailToWrite(iniPath);
    std::ifstream in(target, std::ios::binary);
    if (!in) FailToWrite(iniPath);
    file = IniFile::Parse(in);
    mode = st.st_mode & 07777;
  }
  WriteSettings(file, stored);
  std::ostringstream text;
  file.Save(text);
  if (!ReplaceFile(target, text.str(), mode)) FailToWrite(iniPath);
}

}  // namespace tessimar
