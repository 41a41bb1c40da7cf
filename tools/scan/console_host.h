// The scan host of tessimar-scan: no events to pump; progress on a terminal only.
#pragma once

#include <chrono>
#include <string>

#include "platform/scan_host.h"

namespace tessimar {

class ConsoleHost : public ScanHost {
 public:
  explicit ConsoleHost(bool scanSubfolders);
  ConsoleHost(const ConsoleHost&) = delete;
  ConsoleHost& operator=(const ConsoleHost&) = delete;
  // A scan that unwinds leaves no progress line before the message that tells why.
  ~ConsoleHost() override { EndProgress(); }

  void PumpMessages() override {}
  void SetCaption(Caption caption, const std::string& text) override;
  bool ScanSubfolders() const override { return scanSubfolders_; }
  void ShowError(const std::string& text) override;

  // Clears the progress line, if one is shown.
  void EndProgress();

 private:
  bool scanSubfolders_;
  bool terminal_;
  bool progressShown_ = false;
  std::chrono::steady_clock::time_point lastProgress_{};
};

}  // namespace tessimar
