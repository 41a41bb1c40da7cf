// Shell commands run from tests: other programs (trash-cli, tessimar-scan) as a user
// runs them.
#pragma once

#include <string>

namespace tessimar::testing {

struct ShellResult {
  int Status = -1;  // as from pclose
  std::string Output;
};

// Runs command with /bin/sh and the environment of this process; its standard output.
ShellResult RunShell(const std::string& command);

// text in single quotes for the shell.
std::string ShellQuoted(const std::string& text);

}  // namespace tessimar::testing
