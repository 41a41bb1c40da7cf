// A property a fuzz target checks on every input: when it does not hold, the process
// aborts, which libFuzzer and the regression runner both report as a failure.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace tessimar::fuzz {

inline void Require(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "fuzz property broken: %s\n", property);
  std::abort();
}

}  // namespace tessimar::fuzz
