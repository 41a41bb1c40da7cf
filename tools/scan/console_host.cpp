#include "console_host.h"

#include <unistd.h>

#include <cstdio>

namespace tessimar {
namespace {

// Often enough to look alive, rarely enough not to slow a scan down.
constexpr auto ProgressInterval = std::chrono::milliseconds(100);

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : text.substr(first);
}

}  // namespace

ConsoleHost::ConsoleHost(bool scanSubfolders) : scanSubfolders_(scanSubfolders), terminal_(::isatty(2) == 1) {}

void ConsoleHost::SetCaption(Caption caption, const std::string& text) {
  if (!terminal_ || caption != Caption::FilesCount) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - lastProgress_ < ProgressInterval) return;
  lastProgress_ = now;
  std::fprintf(stderr, "\r\033[K%s", Trimmed(text).c_str());
  progressShown_ = true;
}

void ConsoleHost::ShowError(const std::string& text) {
  EndProgress();
  std::fprintf(stderr, "tessimar-scan: %s\n", text.c_str());
}

void ConsoleHost::EndProgress() {
  if (progressShown_) std::fputs("\r\033[K", stderr);
  progressShown_ = false;
}

}  // namespace tessimar
