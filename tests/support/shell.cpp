#include "shell.h"

#include <cstdio>

namespace tessimar::testing {

ShellResult RunShell(const std::string& command) {
  ShellResult result;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.Output.append(buffer, n);
  result.Status = ::pclose(pipe);
  return result;
}

std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace tessimar::testing
