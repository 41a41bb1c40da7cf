// Makes every thread started while it lives fail to start, as a process out of threads or
// of address space for their stacks sees it: std::thread throws std::system_error.
#pragma once

#include <gtest/gtest.h>
#include <pthread.h>

#include <cstddef>

namespace tessimar::testing {

class RefusedThreads {
 public:
  // A default stack larger than the address space, which no thread can map; unlike a
  // limit of processes, this holds for root too.
  RefusedThreads() {
    pthread_attr_t attributes;
    EXPECT_EQ(pthread_getattr_default_np(&attributes), 0);
    EXPECT_EQ(pthread_attr_getstacksize(&attributes, &stackSize_), 0);
    pthread_attr_destroy(&attributes);
    SetDefaultStackSize(std::size_t{1} << 47);
  }
  RefusedThreads(const RefusedThreads&) = delete;
  RefusedThreads& operator=(const RefusedThreads&) = delete;
  ~RefusedThreads() { SetDefaultStackSize(stackSize_); }

 private:
  static void SetDefaultStackSize(std::size_t size) {
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    EXPECT_EQ(pthread_attr_setstacksize(&attributes, size), 0);
    EXPECT_EQ(pthread_setattr_default_np(&attributes), 0);
    pthread_attr_destroy(&attributes);
  }

  std::size_t stackSize_ = 0;
};

}  // namespace tessimar::testing
