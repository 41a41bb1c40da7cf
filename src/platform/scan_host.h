// What the scan engine needs of the program that runs it. The window pumps its event
// loop and sets labels; tessimar-scan does nothing; tests script it.
#pragma once

#include <string>

namespace tessimar {

// The labels the engine writes.
enum class Caption {
  FilesCount,              // progress: files catalogued, pictures analysed
  CurrentDuplicatesFound,  // progress: pairs found so far
  ScannedCount,            // summary after the scan
  DuplicatesFound,         // summary after the scan
};

class ScanHost {
 public:
  virtual ~ScanHost() = default;

  // Deliver pending events; a stop request arrives here.
  virtual void PumpMessages() = 0;
  virtual void SetCaption(Caption caption, const std::string& text) = 0;
  // The subfolder switch, read afresh at every folder.
  virtual bool ScanSubfolders() const = 0;
  // An error message box with an OK button.
  virtual void ShowError(const std::string& text) = 0;
};

}  // namespace tessimar
