#include <cstdint>
#include <string>

#include <benchmark/benchmark.h>

#include "addressbook/card_import.h"
#include "addressbook/vcard_import.h"

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

// A phone's vCard export of about `bytes`: cards with a photo folded into
// lines of 75 bytes, as phones write them.
std::string PhoneExport(std::size_t bytes) {
  std::string vcf;
  const std::string photo_line = " " + std::string(74, 'Q') + "\r\n";
  for (int i = 0; vcf.size() < bytes; ++i) {
    const std::string n = std::to_string(i);
    vcf += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:山田 太郎" + n + "\r\nEMAIL:taro" + n + "@example.jp\r\n"
           "PHOTO;ENCODING=b;TYPE=JPEG:\r\n";
    for (int line = 0; line < 400; ++line) vcf += photo_line;
    vcf += "END:VCARD\r\n";
  }
  return vcf;
}

// One line folded over and over before its ":" ever comes: the reading
// must stay linear in the size of the file.
std::string FoldedHead(std::size_t bytes) {
  std::string vcf = "BEGIN:VCARD\r\nFN:A\r\nX-LONG";
  while (vcf.size() < bytes) vcf += "\r\n " + std::string(74, 'x');
  vcf += ":value\r\nEND:VCARD\r\n";
  return vcf;
}

void ReadAddressFile(benchmark::State& state, const std::string& file) {
  for (auto _ : state) benchmark::DoNotOptimize(lp::ParseAddressFile(file));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size()));
}

void BM_ReadPhoneVCards(benchmark::State& state) {
  ReadAddressFile(state, PhoneExport(static_cast<std::size_t>(state.range(0))));
}
BENCHMARK(BM_ReadPhoneVCards)->Arg(800 << 10)->Arg(3200 << 10)->Arg(12800 << 10)->Unit(benchmark::kMillisecond);

void BM_ReadVCardFoldedHead(benchmark::State& state) {
  ReadAddressFile(state, FoldedHead(static_cast<std::size_t>(state.range(0))));
}
BENCHMARK(BM_ReadVCardFoldedHead)->Arg(800 << 10)->Arg(3200 << 10)->Arg(12800 << 10)->Unit(benchmark::kMillisecond);

}  // namespace
