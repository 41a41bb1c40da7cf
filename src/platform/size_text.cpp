#include "platform/size_text.h"

#include <cstdio>

namespace tessimar {
namespace {

constexpr std::int64_t KiB = 1024;
constexpr std::int64_t MiB = KiB * 1024;
constexpr std::int64_t GiB = MiB * 1024;

std::string Formatted(const char* format, std::int64_t bytes, std::int64_t unit) {
  char text[64];
  std::snprintf(text, sizeof text, format, static_cast<double>(bytes) / static_cast<double>(unit));
  return text;
}

}  // namespace

std::string SizeText(std::int64_t bytes) {
  if (bytes < KiB) return std::to_string(bytes) + " B";
  if (bytes < MiB) return Formatted("%.0f KB", bytes, KiB);
  if (bytes < GiB) return Formatted("%.2f MB", bytes, MiB);
  return Formatted("%.3f GB", bytes, GiB);
}

}  // namespace tessimar
