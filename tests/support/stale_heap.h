// Freed memory left full of one byte, as earlier pictures leave theirs for the next.
#pragma once

#include <cstdint>

namespace tessimar::testing {

// While it lives, the heap holds freed blocks filled with stale, from which the allocations
// that follow are likely to be served: a decoder that reads memory it never wrote then sees
// that byte. (Under a sanitizer's allocator, which holds freed blocks back, it does little.)
class StaleHeap {
 public:
  explicit StaleHeap(std::uint8_t stale);
  ~StaleHeap();
  StaleHeap(const StaleHeap&) = delete;
  StaleHeap& operator=(const StaleHeap&) = delete;

 private:
  void* fence_;  // allocated after the blocks, so that freeing them does not return them to the system
};

}  // namespace tessimar::testing
