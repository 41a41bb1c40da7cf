#include "run_tool.h"

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace tessimar::testing {

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string ToolCommand(const std::vector<std::string>& arguments, const TempFolder& temp, const std::string& errFile) {
  std::string command = "XDG_CACHE_HOME=" + Quote(temp / "xdg-cache") + " " + TESSIMAR_SCAN_BINARY;
  for (const auto& argument : arguments) command += " " + Quote(argument);
  return command + " 2>" + Quote(errFile) + " </dev/null";
}

ToolResult RunTool(const std::vector<std::string>& arguments, const TempFolder& temp,
                   const std::string& workingFolder) {
  return RunToolAfter(workingFolder.empty() ? std::string() : "cd " + Quote(workingFolder) + " && ", arguments, temp);
}

ToolResult RunToolAfter(const std::string& before, const std::vector<std::string>& arguments,
                        const TempFolder& temp) {
  ToolResult result;
  FILE* pipe = ::popen((before + ToolCommand(arguments, temp, temp / "stderr.txt")).c_str(), "r");
  char buffer[4096];
  while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) result.out.append(buffer, n);
  const int status = ::pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.err = ReadFile(temp / "stderr.txt");
  return result;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

}  // namespace tessimar::testing
