#include "scan/scan_texts.h"


namespace tessimar {
namespace {

std::string TwoDigits(std::uint32_t n) {
  const std::string digits = "00" + std::to_string(n);
  return digits.substr(digits.size() - 2);
}

}  // namespace

std::string ElapsedText(std::uint32_t ms) {
  const std::uint32_t s = ms / 1000;
  return TwoDigits(s / 3600) + ":" + TwoDigits((s % 3600) / 60) + ":" + TwoDigits(s % 60);
}

std::string ClosingMessage(bool stopped, std::string_view filesCount, std::string_view currentDuplicates,
                           std::string_view time) {
  std::string text = stopped ? "扫描查找被中断！" : "扫描查找完毕";
  text.append(MessageLineBreak).append(MessageLineBreak);
  for (std::string_view line : {filesCount, currentDuplicates, time}) text.append(line).append(MessageLineBreak);
  return text;
}

}  // namespace tessimar
