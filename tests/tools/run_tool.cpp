#include "run_tool.h"

#include <sys/wait.h>

#include <algorithm>

#include "environment.h"
#include "file_state.h"
#include "shell.h"

namespace tessimar::testing {

std::string ToolCommand(const std::vector<std::string>& arguments, const TempFolder& temp, const std::string& errFile) {
  std::string command = IsolatedHome::ShellAssignments(temp.Path()) + TESSIMAR_SCAN_BINARY;
  for (const auto& argument : arguments) command += " " + ShellQuoted(argument);
  return command + " 2>" + ShellQuoted(errFile) + " </dev/null";
}

ToolResult RunTool(const std::vector<std::string>& arguments, const TempFolder& temp,
                   const std::string& workingFolder) {
  return RunToolAfter(workingFolder.empty() ? std::string() : "cd " + ShellQuoted(workingFolder) + " && ", arguments,
                      temp);
}

ToolResult RunToolAfter(const std::string& before, const std::vector<std::string>& arguments,
                        const TempFolder& temp) {
  const ShellResult shell = RunShell(before + ToolCommand(arguments, temp, temp / "stderr.txt"));
  return {WIFEXITED(shell.Status) ? WEXITSTATUS(shell.Status) : -1, shell.Output, ReadFileBytes(temp / "stderr.txt")};
}

std::vector<std::string> With(std::vector<std::string> arguments, const std::vector<std::string>& more) {
  arguments.insert(arguments.end(), more.begin(), more.end());
  return arguments;
}

int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

}  // namespace tessimar::testing
