#include <benchmark/benchmark.h>

#include <malloc.h>

#include <array>
#include <memory>
#include <string>

#include "config/profile.h"
#include "platform/command_observer.h"
#include "tests/support/recording_user_interface.h"
#include "store/mailbox_document.h"
#include "tests/support/temp_directory.h"

namespace {

constexpr int kRecords = 100000;

// Shift_JIS names: 山田 太郎, 鈴木 花子, 佐藤 一郎, 高橋 美咲.
constexpr std::array<const char*, 4> kNames = {
    "\x8E\x52\x93\x63 \x91\xBE\x98\x59", "\x97\xE9\x96\xD8 \x89\xD4\x8E\x71",
    "\x8D\xB2\x93\xA1 \x88\xEA\x98\x59", "\x8D\x82\x8B\xB4 \x94\xFC\x8D\xE7"};
// 【お知らせ】定例会議の日程について, 見積書送付のお願い, 新製品発表会のご案内,
// ご注文ありがとうございます（注文番号
constexpr std::array<const char*, 4> kSubjects = {
    "\x81\x79\x82\xA8\x92\x6D\x82\xE7\x82\xB9\x81\x7A\x92\xE8\x97\xE1\x89\xEF\x8B\x63\x82\xCC\x93"
    "\xFA\x92\xF6\x82\xC9\x82\xC2\x82\xA2\x82\xC4",
    "Re: \x8C\xA9\x90\xCF\x8F\x91\x91\x97\x95\x74\x82\xCC\x82\xA8\x8A\xE8\x82\xA2",
    "\x90\x56\x90\xBB\x95\x69\x94\xAD\x95\x5C\x89\xEF\x82\xCC\x82\xB2\x88\xC4\x93\xE0",
    "\x82\xB2\x92\x8D\x95\xB6\x82\xA0\x82\xE8\x82\xAA\x82\xC6\x82\xA4\x82\xB2\x82\xB4\x82\xA2\x82"
    "\xDC\x82\xB7\x81\x69\x92\x8D\x95\xB6\x94\xD4\x8D\x86"};

// A received box as the analysis fills it: To, From and Subject in
// Shift_JIS, a Message-Id, a Cc now and then, an attachment rarely.
std::string WriteRealisticBox(const lp::testing::TempDirectory& dir, lp::Profile& profile,
                              lp::UserInterface& ui, lp::CommandObserver& commands) {
  lp::CLPOSTDoc doc(profile, ui, commands);
  std::uint32_t offset = 0;
  for (int i = 0; i < kRecords; ++i) {
    auto mail = std::make_unique<lp::CMail>();
    const std::string number = std::to_string(i);
    mail->to = "taro.yamada@example.co.jp";
    mail->from = std::string("\"") + kNames[i % 4] + "\" <user" + number + "@mail.example.ne.jp>";
    mail->subject = kSubjects[i % 4];
    if (i % 4 == 3) mail->subject += number + "\x81\x6A";  // ）
    mail->date = 1765000000 + i * 60;
    if (i % 5 == 0) mail->cc = "team@example.co.jp";
    mail->message_id = "<20261210093000." + number + "@mail.example.ne.jp>";
    if (i % 50 == 0) mail->attachments = "/home/user/.local/share/lanternpost/Attach/report" + number + ".pdf";
    mail->status = i % 7 == 0 ? lp::kStatusUnread : lp::kStatusRead;
    mail->text_start = offset;
    offset += 2500;
    mail->text_end = offset;
    doc.Add(std::move(mail));
  }
  const std::string path = dir.File("box.lp");
  (void)doc.Save(path);
  return path;
}

struct BoxFixture {
  BoxFixture() : profile(dir.File("lpost.conf")) { path = WriteRealisticBox(dir, profile, ui, commands); }
  lp::testing::TempDirectory dir;
  lp::Profile profile;
  lp::RecordingUserInterface ui;
  lp::NullCommandObserver commands;
  std::string path;
};

BoxFixture& Box() {
  static BoxFixture box;
  return box;
}

void BM_OpenMailbox(benchmark::State& state) {
  BoxFixture& box = Box();
  for (auto _ : state) {
    lp::CLPOSTDoc doc(box.profile, box.ui, box.commands);
    if (!doc.Open(box.path).ok) state.SkipWithError("open failed");
    benchmark::DoNotOptimize(doc.Count());
  }
  state.counters["records"] = kRecords;
}
BENCHMARK(BM_OpenMailbox)->Unit(benchmark::kMillisecond);

void BM_SaveMailboxAtomically(benchmark::State& state) {
  BoxFixture& box = Box();
  lp::CLPOSTDoc doc(box.profile, box.ui, box.commands);
  if (!doc.Open(box.path).ok) state.SkipWithError("open failed");
  for (auto _ : state) {
    if (!doc.Save().ok) state.SkipWithError("save failed");
  }
  state.counters["records"] = kRecords;
}
BENCHMARK(BM_SaveMailboxAtomically)->Unit(benchmark::kMillisecond);

// Bytes in use on the heap, small blocks and mapped large ones.
std::size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// Heap held by an open box: allocated bytes before and after opening.
void BM_OpenMailboxMemory(benchmark::State& state) {
  BoxFixture& box = Box();
  double total = 0;
  for (auto _ : state) {
    state.PauseTiming();
    malloc_trim(0);
    const std::size_t before = HeapInUse();
    state.ResumeTiming();
    auto doc = std::make_unique<lp::CLPOSTDoc>(box.profile, box.ui, box.commands);
    if (!doc->Open(box.path).ok) state.SkipWithError("open failed");
    state.PauseTiming();
    total = static_cast<double>(HeapInUse()) - static_cast<double>(before);
    doc.reset();
    state.ResumeTiming();
  }
  state.counters["heap_MB"] = total / (1024.0 * 1024.0);
  state.counters["bytes_per_record"] = total / kRecords;
  state.counters["sizeof_CMail"] = sizeof(lp::CMail);
}
BENCHMARK(BM_OpenMailboxMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
