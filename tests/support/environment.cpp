#include "environment.h"

#include <cstdlib>
#include <filesystem>
#include <utility>
#include <vector>

#include "shell.h"

namespace tessimar::testing {
namespace {

// The variables IsolatedHome sets and their values below folder.
std::vector<std::pair<const char*, std::string>> Variables(const std::string& folder) {
  return {{"HOME", folder + "home"},
          {"XDG_CONFIG_HOME", folder + "config"},
          {"XDG_DATA_HOME", folder + "data"},
          {"XDG_CACHE_HOME", folder + "cache"},
          {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + folder + "no-bus"}};
}

}  // namespace

ScopedVariable::ScopedVariable(const char* name, const std::optional<std::string>& value) : name_(name) {
  if (const char* old = std::getenv(name)) saved_ = old;
  if (value) ::setenv(name, value->c_str(), 1); else ::unsetenv(name);
}

ScopedVariable::~ScopedVariable() {
  if (saved_) ::setenv(name_, saved_->c_str(), 1); else ::unsetenv(name_);
}

IsolatedHome::IsolatedHome(const std::string& folder) : folder_(folder) {
  for (const auto& [name, value] : Variables(folder)) variables_.emplace_back(name, value);
  std::filesystem::create_directories(Home());
}

std::string IsolatedHome::ShellAssignments(const std::string& folder) {
  std::string assignments;
  for (const auto& [name, value] : Variables(folder)) assignments += std::string(name) + "=" + ShellQuoted(value) + " ";
  return assignments;
}

}  // namespace tessimar::testing
