#include "stale_heap.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace tessimar::testing {
namespace {

// Together more than a small picture's decoders ask for, each below the size that the
// allocator maps on its own and unmaps when freed.
constexpr int BlockCount = 64;
constexpr std::size_t BlockBytes = std::size_t{16} << 10;

}  // namespace

StaleHeap::StaleHeap(std::uint8_t stale) {
  std::vector<void*> blocks(BlockCount);
  for (void*& block : blocks) {
    block = std::malloc(BlockBytes);
    if (block == nullptr) throw std::bad_alloc();
  }
  fence_ = std::malloc(1);
  for (void* block : blocks) {
    std::memset(block, stale, BlockBytes);
    asm volatile("" : : "r"(block) : "memory");  // the filling counts though nothing reads it before the free
    std::free(block);
  }
}

StaleHeap::~StaleHeap() { std::free(fence_); }

}  // namespace tessimar::testing
