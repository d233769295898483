// The fuzz targets' invariant check: a broken invariant says which and
// aborts, so libFuzzer keeps the input as a finding.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}
