#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/background_job.h"
#include "app/box_jobs.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/sample_spool.h"
#include "tests/support/temp_directory.h"

// A 100 MB spool analysed on a worker thread while the owning thread goes
// on like an event loop: small reads of another box and of the job's
// progress, as fast as it can. What counts is the longest gap between two
// of its iterations (the window's worst freeze), beside the analysis time.

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kMessages = 10000;  // about 100 MB of sample spool
constexpr int kOtherMails = 100;

double Milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

// The owning thread's loop: small reads until `done`, noting the gaps.
struct LoopGaps {
  double longest_ms = 0;
  long over_20ms = 0;
  long iterations = 0;
};

template <typename Done>
void RunEventLoop(lp::CLPOSTDoc& other, lp::JobProgress& progress, Done done, LoopGaps& gaps) {
  Clock::time_point last = Clock::now();
  int mail = 0;
  while (!done()) {
    benchmark::DoNotOptimize(progress.Read());
    benchmark::DoNotOptimize(other.DisplayText(mail, lp::HeaderMode::All, 0));
    mail = (mail + 1) % kOtherMails;
    const Clock::time_point now = Clock::now();
    const double gap = Milliseconds(now - last);
    gaps.longest_ms = std::max(gaps.longest_ms, gap);
    if (gap > 20) ++gaps.over_20ms;
    last = now;
    ++gaps.iterations;
  }
}

std::unique_ptr<lp::CLPOSTDoc> OpenBox(lp::Profile& profile, lp::UserInterface& ui, lp::CommandObserver& commands,
                                       const std::string& name) {
  lp::testing::WriteFileBytes(name, "");
  auto box = std::make_unique<lp::CLPOSTDoc>(profile, ui, commands);
  if (!box->Open(name).ok) return nullptr;
  return box;
}

void BM_AnalysisOnWorkerBesideEventLoop(benchmark::State& state) {
  // Attachment files on a memory file system, as in the spool benchmark:
  // a disk's inode allocator is not what is measured.
  if (std::filesystem::is_directory("/dev/shm")) ::setenv("TMPDIR", "/dev/shm", 1);
  lp::testing::TempDirectory dir(true);
  const std::uint64_t bytes = lp::testing::WriteSampleSpool("inbox.log", kMessages);
  lp::Profile profile(dir.File("lpost.conf"));
  lp::RecordingUserInterface ui;
  lp::NullCommandObserver commands;
  std::unique_ptr<lp::CLPOSTDoc> other = OpenBox(profile, ui, commands, "other.lp");
  if (bytes == 0 || !other) {
    state.SkipWithError("cannot prepare the data directory");
    return;
  }
  for (int i = 0; i < kOtherMails; ++i) {
    other->Add(std::make_unique<lp::CMail>());
    (void)other->StoreTextOfLast("Subject: mail " + std::to_string(i) + "\r\n\r\n" + std::string(2000, 'x'));
  }

  LoopGaps with_job;
  LoopGaps alone;  // the same loop without a job: what the machine's load alone costs
  double analysis_ms = 0;
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    profile.WriteString("System", "AttachDir", "Attach" + std::to_string(++round));
    std::error_code ignored;
    std::filesystem::remove("box.mb", ignored);
    std::unique_ptr<lp::CLPOSTDoc> box = OpenBox(profile, ui, commands, "box.lp");
    if (!box) {
      state.SkipWithError("cannot open the box");
      return;
    }
    state.ResumeTiming();

    const Clock::time_point start = Clock::now();
    std::unique_ptr<lp::BackgroundJob> job = lp::BackgroundJob::Start(*box, lp::AnalyseSpoolWork(*box, "inbox.log"));
    RunEventLoop(*other, job->progress(), [&] { return job->IsFinished(); }, with_job);
    const lp::JobResult result = job->Finish();
    const Clock::duration took = Clock::now() - start;
    analysis_ms = std::max(analysis_ms, Milliseconds(took));
    if (result.count != kMessages) {
      state.SkipWithError("wrong message count");
      return;
    }

    state.PauseTiming();
    const Clock::time_point alone_until = Clock::now() + took;
    lp::JobProgress idle;
    RunEventLoop(*other, idle, [&] { return Clock::now() >= alone_until; }, alone);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.counters["spool_MB"] = static_cast<double>(bytes) / 1e6;
  state.counters["analysis_ms"] = analysis_ms;
  state.counters["longest_gap_ms"] = with_job.longest_ms;
  state.counters["gaps_over_20ms"] = static_cast<double>(with_job.over_20ms);
  state.counters["loop_iterations"] = static_cast<double>(with_job.iterations);
  state.counters["alone_longest_gap_ms"] = alone.longest_ms;
  state.counters["alone_gaps_over_20ms"] = static_cast<double>(alone.over_20ms);
}
BENCHMARK(BM_AnalysisOnWorkerBesideEventLoop)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

}  // namespace
