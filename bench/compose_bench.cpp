#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "app/compose_form.h"
#include "config/account_table.h"
#include "config/profile.h"
#include "platform/code_page.h"
#include "platform/command_observer.h"
#include "store/mailbox_document.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/temp_directory.h"

// Opening a reply to a long received mail: reading its text, the display
// text, the quote, the subject and the reference chain.

namespace {

constexpr int kBodyLines = 20000;

// A received mail with a 20,000-line Japanese body.
std::string LongMailText() {
  std::string text = "+OK\r\nFrom: Hanako <hanako@example.jp>\r\nTo: taro@example.jp\r\nSubject: " +
                     lp::Utf8ToCp932("議事録") + "\r\nMessage-Id: <c@example.jp>\r\nReferences: <a@x> <b@x>\r\n\r\n";
  const std::string line = lp::Utf8ToCp932("本日の会議では次の議題について話し合いました。項目") + " ";
  for (int i = 0; i < kBodyLines; ++i) text += line + std::to_string(i) + "\r\n";
  return text;
}

void BM_ReplyToLongMail(benchmark::State& state) {
  lp::testing::TempDirectory dir(true);
  lp::Profile profile(dir.File("lpost.conf"));
  lp::RecordingUserInterface ui;
  lp::NullCommandObserver commands;
  lp::testing::WriteFileBytes(dir.File("box.lp"), "");
  lp::CLPOSTDoc box(profile, ui, commands);
  if (!box.Open("box.lp").ok) state.SkipWithError("box does not open");
  auto mail = std::make_unique<lp::CMail>();
  mail->from = "Hanako <hanako@example.jp>";
  mail->to = "taro@example.jp";
  mail->message_id = "<c@example.jp>";
  box.Add(std::move(mail));
  if (!box.StoreTextOfLast(LongMailText())) state.SkipWithError("text not stored");

  lp::CSetMenuArray accounts;
  accounts.Load(profile);
  const lp::ComposeWindowSettings settings = lp::LoadComposeWindowSettings(profile);
  std::size_t body_bytes = 0;
  for (auto _ : state) {
    auto form = lp::ReplyForm(box, 0, accounts.Current(), settings, lp::ReplyRecipients::Sender);
    body_bytes = form ? form->body.size() : 0;
    benchmark::DoNotOptimize(form);
  }
  state.counters["body_bytes"] = static_cast<double>(body_bytes);
}
BENCHMARK(BM_ReplyToLongMail)->Unit(benchmark::kMillisecond);

}  // namespace
