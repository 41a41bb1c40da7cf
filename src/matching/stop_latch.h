// A goOn callback that remembers it once answered false, so that no reading starts after a stop.
#pragma once

#include <functional>

namespace tessimar {

class StopLatch {
 public:
  explicit StopLatch(const std::function<bool()>& goOn) : goOn_(goOn) {}
  bool operator()() {
    stopped_ = stopped_ || !goOn_();
    return !stopped_;
  }
  bool Stopped() const { return stopped_; }

 private:
  const std::function<bool()>& goOn_;
  bool stopped_ = false;
};

}  // namespace tessimar
