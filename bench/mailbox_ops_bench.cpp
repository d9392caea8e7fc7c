#include <benchmark/benchmark.h>

#include <sys/statvfs.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "config/profile.h"
#include "platform/command_observer.h"
#include "platform/file_system.h"
#include "tests/support/recording_user_interface.h"
#include "platform/sjis_path.h"
#include "store/compaction.h"
#include "store/mail_transfer.h"
#include "store/mailbox_document.h"
#include "store/open_box_registry.h"

// Compaction of a 1 GB text file with 20% dead space beside plain copies of
// the same file with cp, and a move of 10,000 mails between two boxes of
// 100,000. The big files are made once under /tmp and reused.

namespace {

const std::string kDataDir = "/tmp/lanternpost-bench-compact";
const std::string kSourceText = kDataDir + "/source-1g.mb";
const std::string kSourceIndex = kDataDir + "/source-1g.lp";
const std::string kWorkDir = kDataDir + "/work";
constexpr std::uint64_t kTextBytes = 1ull << 30;
constexpr std::uint64_t kNeededFreeBytes = 5ull << 30;

bool EnoughFreeDisk(std::string* why) {
  struct statvfs info {};
  if (::statvfs("/tmp", &info) != 0) {
    *why = "cannot read the free space of /tmp";
    return false;
  }
  const std::uint64_t free_bytes = static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
  if (free_bytes < kNeededFreeBytes) {
    *why = "skipped: under 5 GB free in /tmp (" + std::to_string(free_bytes >> 20) + " MB)";
    return false;
  }
  return true;
}

// Mail texts of 2 to 14 KB; every fifth block has no record (dead space).
bool MakeCompactionData() {
  const std::optional<std::uint64_t> size = lp::FileSize(kSourceText);
  if (size && *size >= kTextBytes && lp::IsRegularFile(kSourceIndex)) return true;
  lp::MakeDirectories(kDataDir);
  lp::RemoveFile(kSourceIndex);
  lp::Profile profile(kDataDir + "/lpost.conf");
  lp::RecordingUserInterface ui;
  lp::NullCommandObserver commands;
  lp::CLPOSTDoc doc(profile, ui, commands);
  lp::File text;
  if (!text.Open(kSourceText, lp::File::Mode::Write)) return false;
  const std::string line(76, 'Q');
  std::string chunk;
  std::uint64_t offset = 0;
  for (int block = 0; offset < kTextBytes; ++block) {
    const std::size_t start = chunk.size();
    chunk += "+OK\r\nSubject: mail " + std::to_string(block) + "\r\n\r\n";
    const int lines = 25 + (block * 7919) % 150;
    for (int i = 0; i < lines; ++i) chunk += line + "\r\n";
    chunk += "\r\n.\r\n";
    const std::uint64_t block_start = offset;
    offset += chunk.size() - start;
    if (block % 5 != 4) {
      auto mail = std::make_unique<lp::CMail>();
      mail->subject = "mail " + std::to_string(block);
      mail->text_start = static_cast<std::uint32_t>(block_start);
      mail->text_end = static_cast<std::uint32_t>(offset);
      doc.Add(std::move(mail));
    }
    if (chunk.size() >= (4u << 20)) {
      if (!text.Write(chunk)) return false;
      chunk.clear();
    }
  }
  if (!text.Write(chunk) || !text.Close()) return false;
  // The index last: its presence marks complete data.
  return doc.Save(kSourceIndex).ok;
}

void ResetWorkDir() {
  if (auto entries = lp::ListDirectory(kWorkDir)) {
    for (const auto& entry : *entries) lp::RemoveFile(lp::JoinPath(kWorkDir, entry.name));
  }
  lp::MakeDirectories(kWorkDir);
}

// False (and the benchmark skipped with the reason) when the disk lacks
// room or the test box cannot be written.
bool PrepareCompactionData(benchmark::State& state) {
  std::string why;
  if (!EnoughFreeDisk(&why)) {
    state.SkipWithError(why.c_str());
    return false;
  }
  if (!MakeCompactionData()) {
    state.SkipWithError("could not write the 1 GB test box");
    return false;
  }
  return true;
}

void BM_Compact1GB(benchmark::State& state) {
  if (!PrepareCompactionData(state)) return;
  const std::string previous = lp::CurrentDirectory();
  for (auto _ : state) {
    state.PauseTiming();
    ResetWorkDir();
    // A hard link: compaction renames its result over the box's text file
    // and never writes into it, so the source stays as it is.
    const std::string box = kWorkDir + "/box.lp";
    if (std::system(("ln " + kSourceText + " " + kWorkDir + "/box.mb && cp " + kSourceIndex + " " + box).c_str()) !=
        0) {
      state.SkipWithError("could not link the test box");
      break;
    }
    (void)lp::SetCurrentDirectory(kWorkDir);
    lp::Profile profile(kWorkDir + "/lpost.conf");
    lp::RecordingUserInterface ui;
    lp::NullCommandObserver commands;
    lp::CLPOSTDoc doc(profile, ui, commands);
    (void)doc.Open(box);
    state.ResumeTiming();
    if (!lp::Compact(doc)) state.SkipWithError("compaction failed");
    state.PauseTiming();
    state.counters["compacted_MB"] = static_cast<double>(*lp::FileSize(kWorkDir + "/box.mb")) / (1 << 20);
    (void)lp::SetCurrentDirectory(previous);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * *lp::FileSize(kSourceText)));
  ResetWorkDir();
}
BENCHMARK(BM_Compact1GB)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// cp of the same file; the second variant also flushes the copy to the
// disk, as compaction does with its result before putting it in place.
void CopyWithCp(benchmark::State& state, bool sync) {
  if (!PrepareCompactionData(state)) return;
  const std::string target = kWorkDir + "/copy.mb";
  const std::string command = "cp " + kSourceText + " " + target + (sync ? " && sync " + target : "");
  for (auto _ : state) {
    state.PauseTiming();
    ResetWorkDir();
    state.ResumeTiming();
    if (std::system(command.c_str()) != 0) state.SkipWithError("cp failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * *lp::FileSize(kSourceText)));
  ResetWorkDir();
}
void BM_Cp1GB(benchmark::State& state) { CopyWithCp(state, false); }
void BM_CpAndSync1GB(benchmark::State& state) { CopyWithCp(state, true); }
BENCHMARK(BM_Cp1GB)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_CpAndSync1GB)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Two boxes of 100,000 mails of about 1 KB; every tenth mail moves.
const std::string kMoveDir = "/tmp/lanternpost-bench-move";
constexpr int kBoxRecords = 100000;
constexpr int kMoved = 10000;

void MakeMoveBox(const std::string& name, lp::Profile& profile) {
  lp::RecordingUserInterface ui;
  lp::NullCommandObserver commands;
  lp::CLPOSTDoc doc(profile, ui, commands);
  lp::File text;
  (void)text.Open(kMoveDir + "/" + name + ".mb", lp::File::Mode::Write);
  std::string chunk;
  std::uint32_t offset = 0;
  for (int i = 0; i < kBoxRecords; ++i) {
    const std::size_t start = chunk.size();
    chunk += "+OK\r\nFrom: user" + std::to_string(i) + "@example.jp\r\nSubject: mail " + std::to_string(i) + "\r\n\r\n";
    for (int line = 0; line < 12; ++line) chunk += std::string(72, 'a' + line) + "\r\n";
    chunk += "\r\n.\r\n";
    auto mail = std::make_unique<lp::CMail>();
    mail->from = "user" + std::to_string(i) + "@example.jp";
    mail->subject = "mail " + std::to_string(i) + " " + name;
    mail->message_id = "<" + std::to_string(i) + "." + name + "@example.jp>";
    mail->date = 1765000000 + i;
    mail->text_start = offset;
    offset += static_cast<std::uint32_t>(chunk.size() - start);
    mail->text_end = offset;
    doc.Add(std::move(mail));
  }
  (void)text.Write(chunk);
  (void)text.Close();
  (void)doc.Save(kMoveDir + "/" + name + ".lp");
}

void BM_Move10000Of100000(benchmark::State& state) {
  lp::MakeDirectories(kMoveDir);
  lp::Profile profile(kMoveDir + "/lpost.conf");
  if (!lp::IsRegularFile(kMoveDir + "/pristine-a.lp") || !lp::IsRegularFile(kMoveDir + "/pristine-b.lp")) {
    MakeMoveBox("pristine-a", profile);
    MakeMoveBox("pristine-b", profile);
  }
  std::vector<int> selection;
  for (int i = 0; i < kMoved; ++i) selection.push_back(i * (kBoxRecords / kMoved));
  for (auto _ : state) {
    state.PauseTiming();
    for (const char* suffix : {".lp", ".mb"}) {
      (void)std::system(("cp " + kMoveDir + "/pristine-a" + suffix + " " + kMoveDir + "/a" + suffix).c_str());
      (void)std::system(("cp " + kMoveDir + "/pristine-b" + suffix + " " + kMoveDir + "/b" + suffix).c_str());
    }
    lp::RecordingUserInterface ui;
    lp::NullCommandObserver commands;
    lp::OpenBoxRegistry registry(profile, ui, commands);
    lp::BoxHandle source = registry.Acquire(kMoveDir + "/a.lp").box;
    if (!source) {
      state.SkipWithError("the source box does not open");
      break;
    }
    state.ResumeTiming();
    const std::size_t moved = lp::MoveTo(*source, selection, kMoveDir + "/b.lp", registry);
    state.PauseTiming();
    if (moved != kMoved) state.SkipWithError("not every mail moved");
    (void)source.Release();  // closing compacts: not part of the move
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Move10000Of100000)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace
