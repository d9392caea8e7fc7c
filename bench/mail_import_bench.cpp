#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/peak_memory.h"
#include "codec/spool_line_reader.h"
#include "platform/command_observer.h"
#include "store/mail_import.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/sample_spool.h"
#include "tests/support/temp_directory.h"

// Importing an mbox of 100,000 messages (about 1 GB: the sample spool's mix
// of ISO-2022-JP text, Base64 attachments and UTF-8 quoted-printable) and
// the same messages as a Maildir. LP_IMPORT_BENCH_MESSAGES sets another
// count for a quick run.

namespace {

int MessageCount() {
  const char* value = std::getenv("LP_IMPORT_BENCH_MESSAGES");
  const int count = value != nullptr ? std::atoi(value) : 0;
  return count > 0 ? count : 100000;
}

// The sample spool's messages (POP3 form) as an mbox and as a Maildir, in
// one pass over the spool.
bool WriteSources(const std::string& spool, const std::string& mbox_path, const std::string& maildir) {
  for (const char* sub : {"cur", "new", "tmp"}) std::filesystem::create_directories(maildir + "/" + sub);
  lp::SpoolLineReader reader;
  if (!reader.Open(spool)) return false;
  std::ofstream mbox(mbox_path, std::ios::binary);
  std::string message;
  int number = 0;
  auto finish = [&] {
    if (message.empty()) return;
    std::ofstream(maildir + "/cur/" + std::to_string(number) + ".bench:2,S", std::ios::binary) << message;
    mbox << "From bench@example.jp Mon Jun  2 10:00:00 2025\n" << message << "\n";
    message.clear();
  };
  lp::SpoolLine line;
  while (reader.ReadSpoolLine(line)) {
    std::string& text = line.text;
    if (line.starts_line && text.starts_with("+OK")) {
      finish();
      ++number;
      continue;
    }
    if (line.starts_line && text == ".") continue;
    if (line.starts_line && text.starts_with('.')) text.erase(0, 1);
    if (line.starts_line && text.starts_with("From ")) text.insert(0, ">");
    message += text;
    if (!line.continues) message += '\n';
  }
  finish();
  return static_cast<bool>(mbox.flush());
}

struct Sources {
  Sources() {
    if (std::filesystem::is_directory("/dev/shm")) ::setenv("TMPDIR", "/dev/shm", 1);
    dir = std::make_unique<lp::testing::TempDirectory>();
    messages = MessageCount();
    const std::string spool = dir->File("sample.log");
    ok = lp::testing::WriteSampleSpool(spool, messages) > 0 &&
         WriteSources(spool, dir->File("mbox"), dir->File("Maildir"));
    std::filesystem::remove(spool);
  }
  std::unique_ptr<lp::testing::TempDirectory> dir;
  int messages = 0;
  bool ok = false;
};

Sources& SharedSources() {
  static Sources sources;
  return sources;
}

void ImportInto(benchmark::State& state, const std::string& source_name) {
  Sources& sources = SharedSources();
  if (!sources.ok) {
    state.SkipWithError("cannot write the sources");
    return;
  }
  const std::string source = sources.dir->File(source_name);
  const std::uintmax_t bytes = source_name == "mbox" ? std::filesystem::file_size(source) : 0;
  const long rss_before = lp::bench::PeakResidentKiB();
  int imported = 0;
  for (auto _ : state) {
    state.PauseTiming();
    {
      // Each round in a data directory of its own (in TMPDIR).
      lp::testing::TempDirectory data(true);
      lp::Profile profile(data.File("lpost.conf"));
      lp::RecordingUserInterface ui;
      lp::MailImportRequest request;
      request.native_source = source;
      state.ResumeTiming();
      const lp::MailImportReport report = lp::ImportMail(request, profile, ui, nullptr);
      state.PauseTiming();
      imported = report.imported;
      if (!report.Complete() || imported != sources.messages) {
        state.SkipWithError("not every message was imported");
        return;
      }
    }
    state.ResumeTiming();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * imported);
  if (bytes > 0) state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.counters["messages"] = imported;
  // The import streams: the peak grows with the box's records (held by the
  // open box, as any box of that size), never with the mbox's bytes.
  state.counters["peak_rss_growth_MB"] = static_cast<double>(lp::bench::PeakResidentKiB() - rss_before) / 1024.0;
  state.counters["peak_rss_MB"] = static_cast<double>(lp::bench::PeakResidentKiB()) / 1024.0;
}

void BM_ImportMbox(benchmark::State& state) { ImportInto(state, "mbox"); }
void BM_ImportMaildir(benchmark::State& state) { ImportInto(state, "Maildir"); }

BENCHMARK(BM_ImportMbox)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_ImportMaildir)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
