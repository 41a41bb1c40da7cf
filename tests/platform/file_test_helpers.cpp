#include "file_test_helpers.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace tessimar::testing {

ScopedVariable::ScopedVariable(const char* name, const std::optional<std::string>& value) : name_(name) {
  if (const char* old = std::getenv(name)) saved_ = old;
  if (value) ::setenv(name, value->c_str(), 1); else ::unsetenv(name);
}

ScopedVariable::~ScopedVariable() {
  if (saved_) ::setenv(name_, saved_->c_str(), 1); else ::unsetenv(name_);
}

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

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

unsigned ModeOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

bool IsFileSystemRoot(const std::string& folder) {
  struct stat self {}, parent {};
  return ::stat(folder.c_str(), &self) == 0 && ::stat((folder + "..").c_str(), &parent) == 0 &&
         self.st_dev != parent.st_dev;
}

}  // namespace tessimar::testing
