#include <string>

#include <benchmark/benchmark.h>

#include "config/account_table.h"
#include "platform/file_system.h"
#include "tests/support/temp_directory.h"

namespace {

// A settings file with `count` fully filled accounts, as start-up reads it.
lp::CSetMenuArray FullTable(int count) {
  lp::CSetMenuArray table;
  for (int i = 1; i < count; ++i) table.AppendNew("account");
  for (std::size_t i = 0; i < table.Count(); ++i) {
    lp::CSetMenu& account = table.At(i);
    account.name = "\x90\xDA\x91\xB1" + std::to_string(i);  // 接続N
    account.pop = "pop" + std::to_string(i) + ".example.co.jp";
    account.smtp = "smtp" + std::to_string(i) + ".example.co.jp";
    account.adr = "user" + std::to_string(i) + "@example.co.jp";
    account.user_id = "user" + std::to_string(i);
    account.pass = "Secret" + std::to_string(i);
    account.message_id = "<20261201." + std::to_string(i) + "@example.co.jp>";
  }
  return table;
}

void BM_LoadAccountTable(benchmark::State& state) {
  lp::testing::TempDirectory dir;
  lp::Profile profile(lp::FromNativePath(dir.File("lpost.conf")));
  if (!FullTable(static_cast<int>(state.range(0))).Save(profile)) state.SkipWithError("save failed");
  for (auto _ : state) {
    lp::CSetMenuArray table;
    table.Load(profile);
    benchmark::DoNotOptimize(table);
  }
}
BENCHMARK(BM_LoadAccountTable)->Arg(1)->Arg(10)->Arg(200)->Unit(benchmark::kMillisecond);

void BM_SaveAccountTableChanged(benchmark::State& state) {
  lp::testing::TempDirectory dir;
  lp::Profile profile(lp::FromNativePath(dir.File("lpost.conf")));
  lp::CSetMenuArray table = FullTable(static_cast<int>(state.range(0)));
  int round = 0;
  for (auto _ : state) {
    table.At(0).retr = ++round;  // one changed key: the file is rewritten
    if (!table.Save(profile)) state.SkipWithError("save failed");
  }
}
BENCHMARK(BM_SaveAccountTableChanged)->Arg(1)->Arg(10)->Arg(200)->Unit(benchmark::kMillisecond);

}  // namespace
