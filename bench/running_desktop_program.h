#pragma once

#include "bench/desktop_bench_box.h"
#include "bench/desktop_bench_main.h"
#include "bench/desktop_bench_program.h"

// The desktop program started on a fresh copy of the benchmark box, with
// its list painted, for benchmarks that work in one running window.

namespace lp::bench {

struct RunningProgram {
  RunningProgram() : data(DesktopTemplatePath()) {
    constexpr int kFirstRowsTimeoutMs = 30000;
    started = program.Start(data.path()) && program.WaitForFirstRows(kFirstRowsTimeoutMs);
  }
  DesktopDataCopy data;
  DesktopBenchProgram program;
  bool started = false;
};

}  // namespace lp::bench
