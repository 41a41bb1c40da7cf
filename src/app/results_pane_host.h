// What the results pane asks of the window that holds it: the window owns the one
// "scanning" state, and the pane returns the window to its idle look after a file action.
#pragma once

namespace tessimar {

class ResultsPaneHost {
 public:
  virtual ~ResultsPaneHost() = default;
  // True while a scan runs: the pair list is then the scan's, and nothing may read it.
  virtual bool Scanning() const = 0;
  virtual void ShowIdleState() = 0;
};

}  // namespace tessimar
