#pragma once

#include <sys/resource.h>

// The process's peak resident memory so far, for the benchmarks' memory
// counters.

namespace lp::bench {

inline long PeakResidentKiB() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;  // KiB on Linux
}

}  // namespace lp::bench
