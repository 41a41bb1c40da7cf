// One input as the settings file's text. Whatever it holds, the settings read from it
// survive being written back into it, and writing them again changes nothing.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz_check.h"
#include "settings/ini_file.h"
#include "settings/settings_store.h"

namespace {

tessimar::IniFile Parse(const std::string& text) {
  std::istringstream in(text);
  return tessimar::IniFile::Parse(in);
}

std::string WrittenInto(tessimar::IniFile file, const tessimar::StoredSettings& stored) {
  tessimar::WriteSettings(file, stored);
  std::ostringstream out;
  file.Save(out);
  return out.str();
}

// Settings compared by the file they make on their own: every field has a key there.
std::string Canonical(const tessimar::StoredSettings& stored) { return WrittenInto({}, stored); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const tessimar::IniFile original = Parse(std::string(reinterpret_cast<const char*>(data), size));
  const tessimar::StoredSettings stored = tessimar::ReadSettings(original);
  const std::string saved = WrittenInto(original, stored);
  const tessimar::IniFile reread = Parse(saved);
  tessimar::fuzz::Require(Canonical(tessimar::ReadSettings(reread)) == Canonical(stored),
                          "the settings read back are the settings written");
  tessimar::fuzz::Require(WrittenInto(reread, stored) == saved, "writing the same settings again changes nothing");
  return 0;
}
