// Runs the built tessimar-scan as a user would, in a home of the test's own.
#pragma once

#include <string>
#include <vector>

#include "temp_folder.h"

namespace tessimar::testing {

struct ToolResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs tessimar-scan with arguments, standard error caught in temp, and its home, XDG
// folders and session bus below temp as IsolatedHome puts them (the picture cache at
// temp/cache); in workingFolder when one is given.
ToolResult RunTool(const std::vector<std::string>& arguments, const TempFolder& temp,
                   const std::string& workingFolder = {});

// RunTool after the shell text before: "ulimit -v 40960 && ", "timeout -s KILL 60 env ".
ToolResult RunToolAfter(const std::string& before, const std::vector<std::string>& arguments,
                        const TempFolder& temp);

// The shell command RunTool runs, standard error going to errFile.
std::string ToolCommand(const std::vector<std::string>& arguments, const TempFolder& temp, const std::string& errFile);

// arguments with more after them.
std::vector<std::string> With(std::vector<std::string> arguments, const std::vector<std::string>& more);

// How many lines text holds: its line feeds.
int Lines(const std::string& text);

}  // namespace tessimar::testing
