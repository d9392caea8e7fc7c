#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "codec/mime_encoding.h"
#include "platform/file_system.h"
#include "tests/support/temp_directory.h"

namespace {

// About 4 MB of attachment data as 76-character Base64 lines.
std::vector<std::string> AttachmentLines() {
  std::vector<std::string> lines;
  std::string group(57, '\0');
  for (int line = 0; line < 70000; ++line) {
    for (std::size_t i = 0; i < group.size(); ++i) group[i] = static_cast<char>((line * 131 + i * 17) & 0xFF);
    lines.push_back(lp::Base64EncodeBlock(group));
  }
  return lines;
}

// Quoted-printable UTF-8 Japanese text as mail programs write it: escapes,
// plain ASCII and soft line breaks.
std::vector<std::string> QuotedPrintableLines() {
  std::vector<std::string> lines;
  for (int i = 0; i < 50000; ++i) {
    lines.push_back(
        "=E3=81=8A=E4=B8=96=E8=A9=B1=E3=81=AB=E3=81=AA=E3=81=A3=E3=81=A6=E3=81=8A=E3=82=8A=E3=81=BE=E3=81=99 "
        "meeting at 10:00 =E4=BC=9A=E8=AD=B0=E5=AE=A4 A=");
  }
  return lines;
}

void BM_Base64DecodeToFile(benchmark::State& state) {
  const std::vector<std::string> lines = AttachmentLines();
  std::size_t bytes = 0;
  for (const std::string& line : lines) bytes += line.size();
  lp::testing::TempDirectory dir;
  for (auto _ : state) {
    lp::File file;
    if (!file.Open(dir.File("attachment.bin"), lp::File::Mode::Write)) {
      state.SkipWithError("cannot open the output file");
      return;
    }
    for (const std::string& line : lines) {
      if (!lp::Base64DecodeToFile(line, file)) {
        state.SkipWithError("write failed");
        return;
      }
    }
    file.Close();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_Base64DecodeToFile)->Unit(benchmark::kMillisecond);

// The same data collected with Base64DecodeAppend and written in 64 KiB
// blocks: what a caller gains by not writing line by line.
void BM_Base64DecodeBlocksToFile(benchmark::State& state) {
  const std::vector<std::string> lines = AttachmentLines();
  std::size_t bytes = 0;
  for (const std::string& line : lines) bytes += line.size();
  lp::testing::TempDirectory dir;
  std::string pending;
  for (auto _ : state) {
    lp::File file;
    if (!file.Open(dir.File("attachment.bin"), lp::File::Mode::Write)) {
      state.SkipWithError("cannot open the output file");
      return;
    }
    for (const std::string& line : lines) {
      lp::Base64DecodeAppend(line, pending);
      if (pending.size() >= 65536) {
        if (!file.Write(pending)) {
          state.SkipWithError("write failed");
          return;
        }
        pending.clear();
      }
    }
    if (!file.Write(pending)) state.SkipWithError("write failed");
    pending.clear();
    file.Close();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_Base64DecodeBlocksToFile)->Unit(benchmark::kMillisecond);

void BM_QuotedPrintableDecode(benchmark::State& state) {
  const std::vector<std::string> lines = QuotedPrintableLines();
  std::size_t bytes = 0;
  for (const std::string& line : lines) bytes += line.size();
  for (auto _ : state) {
    for (const std::string& line : lines) {
      std::string decoded = lp::QuotedPrintableDecode(line);
      benchmark::DoNotOptimize(decoded);
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_QuotedPrintableDecode)->Unit(benchmark::kMillisecond);

}  // namespace
