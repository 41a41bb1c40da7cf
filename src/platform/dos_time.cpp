#include "platform/dos_time.h"

namespace tessimar {

std::int32_t ToDosDateTime(std::time_t t) {
  std::tm local{};
  if (localtime_r(&t, &local) == nullptr) return 0;
  const int year = local.tm_year + 1900;
  if (year < 1980 || year > 2107) return 0;
  const auto date = static_cast<std::uint32_t>(((year - 1980) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
  const auto time = static_cast<std::uint32_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
  return static_cast<std::int32_t>((date << 16) | time);
}

}  // namespace tessimar
