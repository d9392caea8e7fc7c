#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "codec/japanese_text.h"
#include "config/profile.h"
#include "platform/code_page.h"
#include "platform/command_observer.h"
#include "platform/file_system.h"
#include "rules/mail_search.h"
#include "store/box_list.h"
#include "store/mailbox_document.h"
#include "tests/support/recording_user_interface.h"

// Body search of every box over stored Japanese mail (1 GB by default;
// LP_SEARCH_BENCH_MB=N for a quicker run), side by side with grep -F and
// grep -i (LC_ALL=C: bytes, as the Shift_JIS text is) over the same text
// files, page cache warm. The boxes are made once under
// /tmp/lanternpost-search-bench-<N>mb and reused.

namespace {

constexpr std::uint64_t kBoxBytes = 64ull << 20;

std::uint64_t TargetBytes() {
  const char* value = std::getenv("LP_SEARCH_BENCH_MB");
  const long megabytes = value != nullptr ? std::atol(value) : 1024;
  return static_cast<std::uint64_t>(megabytes > 0 ? megabytes : 1024) << 20;
}

std::string DataDir() { return "/tmp/lanternpost-search-bench-" + std::to_string(TargetBytes() >> 20) + "mb"; }

// Words of everyday business mail; the searched words are put into a few
// mails only, so every search reads everything.
const std::vector<std::string>& Vocabulary() {
  static const std::vector<std::string> words = [] {
    const char* utf8[] = {
        "お世話になっております。", "会議", "予定", "お知らせ", "です", "ます", "の", "を", "に", "は", "が",
        "プロジェクト", "システム", "メール", "東京", "大阪", "株式会社", "ご確認ください", "資料", "添付",
        "来週", "月曜日", "打ち合わせ", "、", "。", "よろしくお願いいたします。", "担当", "件", "について",
        "変更", "対応", "ｻｰﾋﾞｽ", "ｷｬﾝﾍﾟｰﾝ", "サーバー", "データ", "確認", "報告", "さて", "まで", "から",
        "ＦＡＸ", "ＴＥＬ", "営業部", "開発", "品質", "ミーティング", "スケジュール", "2026年", "12月",
        "http://www.example.co.jp/", "info@example.co.jp", "Re:", "Fw:", "ＮＥＷＳ", "＝＝＝＝＝＝＝＝",
    };
    std::vector<std::string> result;
    for (const char* word : utf8) result.push_back(lp::Utf8ToCp932(word));
    return result;
  }();
  return words;
}

const std::string& PlainWord() {
  static const std::string word = lp::Utf8ToCp932("請求書番号");
  return word;
}
const std::string& KanaWord() {
  static const std::string word = lp::Utf8ToCp932("テストケース");
  return word;
}
const std::string& KanaWordHalfWidth() {
  static const std::string word = lp::Utf8ToCp932("ﾃｽﾄｹｰｽ");
  return word;
}

std::string MailText(std::mt19937& random, int number) {
  const auto& words = Vocabulary();
  std::string text = "Return-Path: <info@example.co.jp>\r\nReceived: from mail.example.co.jp by mx.example.jp;"
                     " Mon, 7 Dec 2026 10:00:00 +0900\r\nFrom: info@example.co.jp\r\nTo: user@example.jp\r\n"
                     "Subject: ";
  text += words[random() % words.size()] + words[random() % words.size()];
  text += "\r\nDate: Mon, 7 Dec 2026 10:00:00 +0900\r\nMessage-ID: <" + std::to_string(number) +
          "@example.co.jp>\r\n\r\n";
  const int lines = 20 + static_cast<int>(random() % 80);
  for (int line = 0; line < lines; ++line) {
    std::string text_line;
    while (text_line.size() < 70) text_line += words[random() % words.size()];
    text += text_line + "\r\n";
  }
  if (number % 5000 == 17) text += PlainWord() + "\r\n";
  if (number % 5000 == 4711) text += KanaWord() + "\r\n";
  return text;
}

struct BenchData {
  std::vector<std::string> box_list;
  std::vector<std::string> text_files;
  std::uint64_t text_bytes = 0;
};

bool MakeBox(const std::string& index_path, const std::string& text_path, std::mt19937& random, int& number) {
  lp::Profile profile(DataDir() + "/lpost.conf");
  lp::RecordingUserInterface ui;
  lp::NullCommandObserver commands;
  lp::CLPOSTDoc doc(profile, ui, commands);
  lp::File text;
  if (!text.Open(text_path, lp::File::Mode::Write)) return false;
  std::string chunk;
  std::uint64_t offset = 0;
  while (offset < kBoxBytes) {
    const std::string mail = MailText(random, number++) + "\r\n.\r\n";
    auto record = std::make_unique<lp::CMail>();
    record->subject = "mail";
    record->text_start = static_cast<std::uint32_t>(offset);
    offset += mail.size();
    record->text_end = static_cast<std::uint32_t>(offset);
    doc.Add(std::move(record));
    chunk += mail;
    if (chunk.size() >= (4u << 20)) {
      if (!text.Write(chunk)) return false;
      chunk.clear();
    }
  }
  if (!text.Write(chunk) || !text.Close()) return false;
  return doc.Save(index_path).ok;
}

const BenchData* Data() {
  static const std::unique_ptr<BenchData> data = []() -> std::unique_ptr<BenchData> {
    const std::string dir = DataDir();
    lp::MakeDirectories(dir);
    const int boxes = static_cast<int>((TargetBytes() + kBoxBytes - 1) / kBoxBytes);
    std::mt19937 random(2026);
    int number = 0;
    for (int box = 0; box < boxes; ++box) {
      const std::string index = dir + "/box" + std::to_string(box) + ".lp";
      const std::string text = dir + "/box" + std::to_string(box) + ".mb";
      if (lp::IsRegularFile(index) && lp::FileSize(text).value_or(0) >= kBoxBytes) continue;
      if (!MakeBox(index, text, random, number)) return nullptr;
    }
    auto result = std::make_unique<BenchData>();
    result->box_list = lp::BuildBoxList(dir);
    for (const std::string& path : result->box_list) {
      const std::string text = lp::TextFilePathOf(path);
      result->text_files.push_back(text);
      result->text_bytes += lp::FileSize(text).value_or(0);
      // Warms the page cache.
      (void)lp::ReadWholeFile(text);
    }
    return result;
  }();
  return data.get();
}

// Counts the matches of every box, as the command line lists them.
void SearchAll(benchmark::State& state, const std::string& text, unsigned flags) {
  const BenchData* data = Data();
  if (data == nullptr) {
    state.SkipWithError("cannot write the boxes");
    return;
  }
  lp::Profile profile(DataDir() + "/lpost.conf");
  lp::SearchCondition condition;
  condition.text = text;
  condition.field = lp::SearchField::Body;
  condition.fold_width = (flags & lp::IgnoreWidth) != 0;
  condition.fold_case = (flags & lp::IgnoreCase) != 0;
  condition.fold_kana = (flags & lp::IgnoreKana) != 0;
  condition.fold_small = (flags & lp::IgnoreSmallAndVoiced) != 0;
  int matches = 0;
  for (auto _ : state) {
    matches = 0;
    const lp::BoxSearchResult result =
        lp::SearchAllBoxes(lp::BoxWalkSources::Plan(data->box_list, nullptr), {}, condition, profile, nullptr, [&](const auto&, const auto&) {
          ++matches;
          return true;
        });
    benchmark::DoNotOptimize(result);
  }
  state.counters["matches"] = matches;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data->text_bytes));
}

void Grep(benchmark::State& state, const std::string& options, const std::string& text) {
  const BenchData* data = Data();
  if (data == nullptr) {
    state.SkipWithError("cannot write the boxes");
    return;
  }
  const std::string pattern_file = DataDir() + "/pattern.txt";
  {
    lp::File file;
    if (!file.Open(pattern_file, lp::File::Mode::Write) || !file.Write(text + "\n")) {
      state.SkipWithError("cannot write the pattern");
      return;
    }
  }
  std::string command = "LC_ALL=C grep " + options + " -c -f '" + pattern_file + "'";
  for (const std::string& file : data->text_files) command += " '" + file + "'";
  // Not to /dev/null: grep notices it and stops at the first match.
  command += " > '" + DataDir() + "/grep.out'";
  for (auto _ : state) {
    if (std::system(command.c_str()) == -1) state.SkipWithError("grep did not run");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data->text_bytes));
}

void BM_SearchPlain(benchmark::State& state) { SearchAll(state, PlainWord(), 0); }
void BM_GrepF(benchmark::State& state) { Grep(state, "-F", PlainWord()); }
// Every folding flag, a half-width katakana word (found in full width).
void BM_SearchFoldedKana(benchmark::State& state) { SearchAll(state, KanaWordHalfWidth(), lp::FoldAll); }
// Every folding flag, a word with kanji.
void BM_SearchFoldedKanji(benchmark::State& state) { SearchAll(state, PlainWord(), lp::FoldAll); }
void BM_GrepI(benchmark::State& state) { Grep(state, "-i", KanaWordHalfWidth()); }

BENCHMARK(BM_GrepF)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_SearchPlain)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_GrepI)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_SearchFoldedKana)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_SearchFoldedKanji)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

}  // namespace
