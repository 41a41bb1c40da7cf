// A scan host for tests: counts pumps, runs a scripted action at a chosen pump, and
// records every caption and message.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/scan_host.h"

namespace tessimar::testing {

class ScriptedHost : public ScanHost {
 public:
  void PumpMessages() override;
  void SetCaption(Caption caption, const std::string& text) override;
  bool ScanSubfolders() const override { return Subfolders; }
  void ShowError(const std::string& text) override { Errors.push_back(text); }

  // Runs action during pump number pump (1 for the first).
  void AtPump(int pump, std::function<void()> action) { actions_[pump] = std::move(action); }

  bool Subfolders = true;
  int Pumps = 0;
  std::vector<std::string> Errors;
  std::map<Caption, std::vector<std::string>> Captions;  // every text each label was given

 private:
  std::map<int, std::function<void()>> actions_;
};

}  // namespace tessimar::testing
