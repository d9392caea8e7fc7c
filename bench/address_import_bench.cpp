#include <string>

#include <benchmark/benchmark.h>

#include "addressbook/card_import.h"

// Taking a contacts export into the address book: parsing a Thunderbird
// CSV of `n` contacts and merging it into a book that already holds `n`
// other cards (every address compared against the book's), then the
// name look-up the mail list makes for each row it shows.

namespace {

std::string ThunderbirdExport(int count, const char* domain) {
  std::string csv = "First Name,Last Name,Display Name,Nickname,Primary Email,Secondary Email,Home Phone,Notes\r\n";
  for (int i = 0; i < count; ++i) {
    const std::string n = std::to_string(i);
    csv += "太郎" + n + ",山田,山田 太郎" + n + ",,taro" + n + "@" + domain + ",,03-0000-" + n + ",\"メモ\r\n" + n + "\"\r\n";
  }
  return csv;
}

void BM_ImportContactsIntoBook(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const std::string existing = ThunderbirdExport(count, "old.example.jp");
  const std::string incoming = ThunderbirdExport(count, "new.example.jp");
  lp::AddressBook base;
  (void)lp::AddImportedCards(base, lp::ParseAddressCsv(existing).cards);
  for (auto _ : state) {
    lp::AddressBook book = base;
    const lp::CardMerge merge = lp::AddImportedCards(book, lp::ParseAddressCsv(incoming).cards);
    benchmark::DoNotOptimize(merge);
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_ImportContactsIntoBook)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_NameForAddress(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  lp::AddressBook book;
  (void)lp::AddImportedCards(book, lp::ParseAddressCsv(ThunderbirdExport(count, "example.jp")).cards);
  int i = 0;
  for (auto _ : state) {
    const std::string address = "TARO" + std::to_string(i++ % count) + "@example.jp";
    benchmark::DoNotOptimize(book.NameForAddress(address));
  }
}
BENCHMARK(BM_NameForAddress)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
