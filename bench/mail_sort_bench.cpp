#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "config/profile.h"
#include "platform/command_observer.h"
#include "tests/support/recording_user_interface.h"
#include "store/mail_sort.h"
#include "tests/support/temp_directory.h"

namespace {

constexpr int kRecords = 100000;

// Shift_JIS senders: 田中 次郎, 伊藤 由美, 渡辺 健, 小林 さくら.
constexpr std::array<const char*, 4> kSenders = {"\x93\x63\x92\x86 \x8E\x9F\x98\x59",
                                                 "\x88\xC9\x93\xA1 \x97\x52\x94\xFC",
                                                 "\x93\x6E\x95\xD3 \x8C\x92",
                                                 "\x8F\xAC\x97\xD1 \x82\xB3\x82\xAD\x82\xE7"};
// 定例会議の日程について, 見積書送付のお願い, 新製品発表会のご案内, Weekly report
constexpr std::array<const char*, 4> kSubjects = {
    "\x92\xE8\x97\xE1\x89\xEF\x8B\x63\x82\xCC\x93\xFA\x92\xF6\x82\xC9\x82\xC2\x82\xA2\x82\xC4",
    "\x8C\xA9\x90\xCF\x8F\x91\x91\x97\x95\x74\x82\xCC\x82\xA8\x8A\xE8\x82\xA2",
    "\x90\x56\x90\xBB\x95\x69\x94\xAD\x95\x5C\x89\xEF\x82\xCC\x82\xB2\x88\xC4\x93\xE0", "Weekly report"};
constexpr std::array<const char*, 4> kReplyPrefixes = {"", "Re: ", "RE:", "Re: Re: "};

// A received box of 100,000 mails with the ties a real box has: a few
// hundred senders and threads, dates that repeat, labels and statuses.
std::vector<lp::CMail> MakeMails() {
  std::mt19937 random(42);
  std::vector<lp::CMail> mails(kRecords);
  for (lp::CMail& mail : mails) {
    const unsigned sender = random() % 400;
    mail.from = std::string(kSenders[sender % kSenders.size()]) + " <user" + std::to_string(sender) + "@example.jp>";
    mail.to = "team" + std::to_string(random() % 50) + "@example.jp";
    mail.subject = std::string(kReplyPrefixes[random() % kReplyPrefixes.size()]) +
                   kSubjects[random() % kSubjects.size()] + " #" + std::to_string(random() % 300);
    mail.date = 1600000000 + static_cast<std::int32_t>(random() % 5000000);
    mail.label = static_cast<int>(random() % 11);
    mail.status = static_cast<int>(random() % 5);
  }
  return mails;
}

void BM_SortByKey(benchmark::State& state) {
  static const std::vector<lp::CMail> mails = MakeMails();
  lp::testing::TempDirectory dir;
  lp::Profile profile(dir.File("lpost.conf"));
  lp::RecordingUserInterface ui;
  lp::NullCommandObserver commands;
  const int key = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    auto box = std::make_unique<lp::CLPOSTDoc>(profile, ui, commands);
    for (const lp::CMail& mail : mails) box->Add(std::make_unique<lp::CMail>(mail));
    state.ResumeTiming();
    benchmark::DoNotOptimize(lp::Sort(*box, key));
    state.PauseTiming();
    box.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_SortByKey)->DenseRange(0, 6)->Unit(benchmark::kMillisecond);

}  // namespace
