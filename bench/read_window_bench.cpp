#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

#include "platform/command_observer.h"
#include "platform/file_system.h"
#include "store/open_box_registry.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/temp_directory.h"
#include "ui/read_view.h"

// Opening a read window: on a received mail of 5 MB of text, and on a mail
// with 200 attachments. One iteration builds the window, shows it and
// paints its first screen of text; a long text's later parts follow while
// the window is in use (measured apart).

namespace {

constexpr std::size_t kLargeMailBytes = 5u << 20;
constexpr int kAttachments = 200;

std::string Header(const std::string& subject) {
  return "From: sato@example.jp\r\nTo: alice@example.jp\r\nSubject: " + subject +
         "\r\nDate: Wed, 09 Dec 2026 10:00:00 +0900\r\n\r\n";
}

class ReadWindowBox {
 public:
  ReadWindowBox() {
    lp::testing::WriteFileBytes(dir_.File("box.lp"), "");
    handle_ = registry_.Acquire(lp::FromNativePath(dir_.File("box.lp"))).box;
    // Row 0: 5 MB of Japanese and ASCII text lines.
    std::string large = Header("large");
    const std::string line = "\x96\x7b\x93\xfa\x82\xcc\x89\xef\x8b\x63 line of a long report, item 0123456789\r\n";
    while (large.size() < kLargeMailBytes) large += line;
    Add(large, "");
    // Row 1: a short text and 200 attachment paths.
    std::string attachments;
    for (int i = 0; i < kAttachments; ++i) {
      if (i > 0) attachments += '\n';
      attachments += lp::FromNativePath(dir_.File("attach/file" + std::to_string(i) + ".pdf"));
    }
    Add(Header("attachments") + "See the files.\r\n", attachments);
  }
  [[nodiscard]] const lp::BoxHandle& handle() const { return handle_; }
  lp::Profile& profile() { return profile_; }

 private:
  void Add(const std::string& text, const std::string& attachments) {
    auto mail = std::make_unique<lp::CMail>();
    mail->from = "sato@example.jp";
    mail->subject = "mail";
    mail->status = lp::kStatusUnread;
    mail->attachments = attachments;
    handle_->Add(std::move(mail));
    (void)handle_->StoreTextOfLast(text);
  }

  lp::testing::TempDirectory dir_;
  lp::Profile profile_{dir_.File("lpost.conf")};
  lp::RecordingUserInterface ui_;
  lp::NullCommandObserver commands_;
  lp::OpenBoxRegistry registry_{profile_, ui_, commands_};
  lp::BoxHandle handle_;
};

void BM_OpenReadWindow(benchmark::State& state) {
  ReadWindowBox box;
  const int row = static_cast<int>(state.range(0));
  for (auto _ : state) {
    lp::ReadView view(box.handle(), row, box.profile(), lp::ReadViewServices{});
    view.resize(800, 600);
    view.show();
    (void)view.editor().viewport()->grab();
    benchmark::DoNotOptimize(view.attachments().size());
  }
}
// Row 0: the 5 MB mail; row 1: the mail with 200 attachments.
BENCHMARK(BM_OpenReadWindow)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The 5 MB mail until all of its text is in the editor (the parts after
// the first arrive while the window is already in use).
void BM_ReadWindowWholeText(benchmark::State& state) {
  ReadWindowBox box;
  for (auto _ : state) {
    lp::ReadView view(box.handle(), 0, box.profile(), lp::ReadViewServices{});
    view.resize(800, 600);
    view.show();
    view.LoadWholeText();
    benchmark::DoNotOptimize(view.editor().blockCount());
  }
}
BENCHMARK(BM_ReadWindowWholeText)->Unit(benchmark::kMillisecond);

// The longest single pass of the event loop while the 5 MB mail's later
// parts arrive (the counter longest_gap_ms): how long input may wait.
void BM_ReadWindowLongestGap(benchmark::State& state) {
  ReadWindowBox box;
  double longest_ms = 0;
  for (auto _ : state) {
    lp::ReadView view(box.handle(), 0, box.profile(), lp::ReadViewServices{});
    view.resize(800, 600);
    view.show();
    while (!view.FullyLoaded()) {
      const auto start = std::chrono::steady_clock::now();
      QCoreApplication::processEvents();
      const std::chrono::duration<double, std::milli> gap = std::chrono::steady_clock::now() - start;
      longest_ms = std::max(longest_ms, gap.count());
    }
  }
  state.counters["longest_gap_ms"] = longest_ms;
}
BENCHMARK(BM_ReadWindowLongestGap)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
