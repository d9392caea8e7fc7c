// Throughput of the ISO-2022-JP decoder and encoder against glibc iconv on
// the same input, and of folded search over a large Japanese text.

#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cstdint>
#include <random>
#include <string>

#include "codec/japanese_text.h"

namespace {

void AppendCode(std::string& out, unsigned code) {
  out += static_cast<char>(code >> 8);
  out += static_cast<char>(code & 0xFF);
}

// Mail-like Shift_JIS text: runs of hiragana, katakana, level-1 kanji and
// ASCII words with line breaks. Only JIS X 0208 characters, so that iconv
// can encode all of it as ISO-2022-JP.
std::string MakeJapaneseText(std::size_t size) {
  std::mt19937 rng(42);
  std::string text;
  text.reserve(size + 64);
  while (text.size() < size) {
    const unsigned run = 1 + rng() % 12;
    switch (rng() % 5) {
      case 0:
        for (unsigned i = 0; i < run; ++i) AppendCode(text, 0x829F + rng() % 83);  // hiragana
        break;
      case 1:
        for (unsigned i = 0; i < run; ++i) {
          unsigned code = 0x8340 + rng() % 86;  // katakana, skipping the gap at 0x7F
          AppendCode(text, code >= 0x837F ? code + 1 : code);
        }
        break;
      case 2:
      case 3:
        for (unsigned i = 0; i < run; ++i) {
          // Kanji rows 16-47 (JIS 0x30-0x4E), cells 0x21-0x7E.
          unsigned j1 = 0x30 + rng() % 0x1F;
          unsigned j2 = 0x21 + rng() % 94;
          unsigned s1 = (j1 - 0x21) / 2 + 0x81;
          if (s1 > 0x9F) s1 += 0x40;
          unsigned s2 = (j1 & 1) ? j2 + 0x1F + (j2 >= 0x60 ? 1 : 0) : j2 + 0x7E;
          AppendCode(text, s1 << 8 | s2);
        }
        break;
      default:
        for (unsigned i = 0; i < run; ++i) text += static_cast<char>('a' + rng() % 26);
        text += rng() % 4 == 0 ? "\r\n" : " ";
        break;
    }
  }
  return text;
}

const std::string& SjisInput() {
  static const std::string text = MakeJapaneseText(4 << 20);
  return text;
}

const std::string& JisInput() {
  static const std::string text = [] {
    std::string jis;
    lp::SjisToJis(SjisInput(), jis);
    return jis;
  }();
  return text;
}

void RunIconv(benchmark::State& state, const char* to, const char* from, const std::string& input) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    state.SkipWithError("iconv_open failed");
    return;
  }
  std::string out(input.size() * 2 + 64, '\0');
  for (auto _ : state) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in_ptr = const_cast<char*>(input.data());
    std::size_t in_left = input.size();
    char* out_ptr = out.data();
    std::size_t out_left = out.size();
    if (iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<std::size_t>(-1)) {
      state.SkipWithError("iconv failed");
      break;
    }
    iconv(cd, nullptr, nullptr, &out_ptr, &out_left);
    benchmark::DoNotOptimize(out.data());
  }
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
}

void BM_ConvertToSjis_Iso2022Jp(benchmark::State& state) {
  const std::string& input = JisInput();
  for (auto _ : state) {
    std::string out = lp::ConvertToSjis(input);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
}
BENCHMARK(BM_ConvertToSjis_Iso2022Jp)->Unit(benchmark::kMillisecond);

void BM_Iconv_Iso2022JpToCp932(benchmark::State& state) {
  RunIconv(state, "CP932", "ISO-2022-JP", JisInput());
}
BENCHMARK(BM_Iconv_Iso2022JpToCp932)->Unit(benchmark::kMillisecond);

void BM_SjisToJis(benchmark::State& state) {
  const std::string& input = SjisInput();
  std::string out;
  for (auto _ : state) {
    lp::SjisToJis(input, out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
}
BENCHMARK(BM_SjisToJis)->Unit(benchmark::kMillisecond);

void BM_Iconv_Cp932ToIso2022Jp(benchmark::State& state) {
  RunIconv(state, "ISO-2022-JP", "CP932", SjisInput());
}
BENCHMARK(BM_Iconv_Cp932ToIso2022Jp)->Unit(benchmark::kMillisecond);

// Folded search with all four flags over 10 MB. The pattern starts with a
// common katakana (many partial matches) and ends with a level-2 kanji that
// the text never holds, so the whole text is scanned.
void BM_FindJapaneseText_AllFlags(benchmark::State& state) {
  static const std::string text = MakeJapaneseText(10 << 20);
  const std::string pattern = "\x83\x4A\x83\x5E\x98\x9F";  // カタ弌
  for (auto _ : state) {
    std::size_t length = 0;
    benchmark::DoNotOptimize(lp::FindJapaneseText(text, pattern, 15, &length));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_FindJapaneseText_AllFlags)->Unit(benchmark::kMillisecond);

}  // namespace
