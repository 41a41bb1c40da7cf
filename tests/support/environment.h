// Environment variables set for one test and given back afterwards, and a home of the
// test's own, so that nothing a test runs reads or writes the user's files or talks to the
// user's session bus.
#pragma once

#include <list>
#include <optional>
#include <string>

namespace tessimar::testing {

// Sets (or, with nullopt, unsets) one environment variable and restores it afterwards.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::optional<std::string>& value);
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;
  ~ScopedVariable();

 private:
  const char* name_;
  std::optional<std::string> saved_;
};

// While it lives, HOME, XDG_CONFIG_HOME, XDG_DATA_HOME and XDG_CACHE_HOME name folders below
// folder (ending in '/'), and DBUS_SESSION_BUS_ADDRESS a bus that is not there, so no file
// manager answers. The home folder is made; the others are left for the code under test
// to make, as it must for a new user.
class IsolatedHome {
 public:
  explicit IsolatedHome(const std::string& folder);
  IsolatedHome(const IsolatedHome&) = delete;
  IsolatedHome& operator=(const IsolatedHome&) = delete;

  // The folders, each ending in '/'.
  std::string Home() const { return folder_ + "home/"; }
  std::string ConfigHome() const { return folder_ + "config/"; }
  std::string DataHome() const { return folder_ + "data/"; }
  std::string CacheHome() const { return folder_ + "cache/"; }

  // The same variables as "NAME='value' ..." for the start of a shell command, for a
  // child process alone (setting them here would race with threads reading them).
  static std::string ShellAssignments(const std::string& folder);

 private:
  std::string folder_;
  std::list<ScopedVariable> variables_;
};

}  // namespace tessimar::testing
