#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/peak_memory.h"
#include "codec/spool_analyser.h"
#include "platform/file_system.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/sample_spool.h"
#include "tests/support/temp_directory.h"

namespace {

void BM_AnalyseSpool(benchmark::State& state) {
  const int messages = static_cast<int>(state.range(0));
  // On a memory file system when there is one: creating thousands of
  // attachment files on a disk file system measures its inode allocator
  // more than the analysis.
  if (std::filesystem::is_directory("/dev/shm")) ::setenv("TMPDIR", "/dev/shm", 1);
  lp::testing::TempDirectory dir(true);
  const std::uint64_t bytes = lp::testing::WriteSampleSpool("inbox.log", messages);
  if (bytes == 0) {
    state.SkipWithError("cannot write the spool");
    return;
  }
  const long rss_before = lp::bench::PeakResidentKiB();
  lp::Profile profile(dir.File("lpost.conf"));
  lp::RecordingUserInterface ui;
  lp::NullCommandObserver commands;
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    // Each round saves into a directory of its own: deleting thousands of
    // files between rounds would make the file system's inode allocation
    // the thing measured.
    profile.WriteString("System", "AttachDir", "Attach" + std::to_string(++round));
    std::error_code ignored;
    std::filesystem::remove(dir.File("box.mb"), ignored);
    lp::testing::WriteFileBytes(dir.File("box.lp"), "");
    lp::CLPOSTDoc box(profile, ui, commands);
    if (!box.Open("box.lp").ok) {
      state.SkipWithError("cannot open the box");
      return;
    }
    state.ResumeTiming();
    const int count = lp::AnalyseSpool(box, "inbox.log");
    if (count != messages) {
      state.SkipWithError("wrong message count");
      return;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * messages);
  state.counters["spool_MB"] = static_cast<double>(bytes) / 1e6;
  // Growth of the peak resident size over the analysis: it stays flat as
  // the spool grows, because the analysis streams.
  state.counters["peak_rss_growth_MB"] = static_cast<double>(lp::bench::PeakResidentKiB() - rss_before) / 1024.0;
}
// A small spool first, so that its peak is the baseline for the large one.
BENCHMARK(BM_AnalyseSpool)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
