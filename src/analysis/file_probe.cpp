#include "analysis/file_probe.h"

#include <array>
#include <cstring>

#include "platform/regular_file.h"

namespace tessimar {
namespace {

constexpr std::size_t CompareBlockSize = 1024;

}  // namespace

void ReadPreBuffer(const std::string& fileName, TPreBuffer& probe) {
  RegularFile file(fileName);
  if (!file.IsOpen()) return;
  TPreBuffer local{};  // zero-filled, so a short file gives the same probe every time
  file.Read(local.data(), local.size());
  probe = local;
}

bool FilesEqual(const std::string& first, const std::string& second, const std::function<bool()>& goOn) {
  RegularFile file1(first);
  if (!file1.IsOpen()) return false;
  RegularFile file2(second);
  if (!file2.IsOpen() || file1.Identity() == file2.Identity()) return false;

  std::array<std::uint8_t, CompareBlockSize> buffer1{}, buffer2{};
  for (;;) {
    const ssize_t r1 = file1.Read(buffer1.data(), buffer1.size());
    const ssize_t r2 = file2.Read(buffer2.data(), buffer2.size());
    const bool same = r1 >= 0 && r1 == r2 && std::memcmp(buffer1.data(), buffer2.data(), static_cast<std::size_t>(r1)) == 0;
    if (!goOn()) return false;
    if (!same || r1 == 0) return same;  // a difference, or both ended together
  }
}

}  // namespace tessimar
