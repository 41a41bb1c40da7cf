// Runs the built tessimar-scan as a user would, with a cache folder of the test's own.
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

std::string Quote(const std::string& text);

// Runs tessimar-scan with arguments, standard error caught in temp, and
// $XDG_CACHE_HOME at temp/xdg-cache; in workingFolder when one is given.
ToolResult RunTool(const std::vector<std::string>& arguments, const TempFolder& temp,
                   const std::string& workingFolder = {});

// RunTool after the shell text before: "ulimit -v 40960 && ", "timeout -s KILL 60 env ".
ToolResult RunToolAfter(const std::string& before, const std::vector<std::string>& arguments,
                        const TempFolder& temp);

// The shell command RunTool runs, standard error going to errFile.
std::string ToolCommand(const std::vector<std::string>& arguments, const TempFolder& temp, const std::string& errFile);

std::string ReadFile(const std::string& path);

}  // namespace tessimar::testing
