// What the tests of file operations share: environment variables set for one test, shell
// commands such as trash-cli, and looks at files.
#pragma once

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

struct ShellResult {
  int Status = -1;  // as from pclose
  std::string Output;
};

// Runs command with /bin/sh and the environment of this process.
ShellResult RunShell(const std::string& command);

// text in single quotes for the shell.
std::string ShellQuoted(const std::string& text);

// The bytes of the file at path; empty when it cannot be read.
std::string ReadAll(const std::string& path);

// True when something (a link too, resolving or not) has this name.
bool Exists(const std::string& path);

// The mode bits of the file at path (links followed).
unsigned ModeOf(const std::string& path);

// True when folder (ending in '/') is the root of a file system of its own.
bool IsFileSystemRoot(const std::string& folder);

}  // namespace tessimar::testing
