#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>

#include "bench/desktop_bench_box.h"
#include "bench/desktop_bench_main.h"
#include "bench/desktop_first_rows_child.h"

// The desktop benchmarks' entry: the box template first (in a child
// process), then one offscreen QApplication for every benchmark; or, as
// the start-up benchmark's child, a fresh start of the program.

namespace lp::bench {

const std::string& DesktopTemplatePath() {
  static const std::string path = EnsureDesktopTemplate();
  return path;
}

}  // namespace lp::bench

int main(int argc, char** argv) {
  if (argc > 1 && argv[1] == lp::bench::kFirstRowsChildSwitch) lp::bench::RunFirstRowsChild(argc, argv);
  if (lp::bench::DesktopTemplatePath().empty()) {
    std::fprintf(stderr, "the benchmark box could not be written\n");
    return 1;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
