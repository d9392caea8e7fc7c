#include <stdexcept>
#include <string>

#include <benchmark/benchmark.h>

#include "config/account_table.h"
#include "config/profile.h"
#include "platform/file_system.h"
#include "rules/sort_rules.h"
#include "tests/support/temp_directory.h"

namespace {

// A settings file as a heavy user's start-up meets it: 200 accounts and a
// full table of 1,000 sorting rules.
void WriteHeavySettings(lp::Profile& profile) {
  lp::CSetMenuArray accounts;
  for (int i = 1; i < 200; ++i) accounts.AppendNew("account");
  for (std::size_t i = 0; i < accounts.Count(); ++i) {
    lp::CSetMenu& account = accounts.At(i);
    account.pop = "pop" + std::to_string(i) + ".example.co.jp";
    account.smtp = "smtp" + std::to_string(i) + ".example.co.jp";
    account.adr = "user" + std::to_string(i) + "@example.co.jp";
  }
  lp::CDivMenuArray rules;
  for (int i = 0; i < 1000; ++i) {
    rules.Add({lp::kRuleFieldSubject, "keyword" + std::to_string(i), "box" + std::to_string(i % 40) + ".lp",
               "", ""});
  }
  if (!accounts.Save(profile) || !rules.Save(profile)) throw std::runtime_error(profile.LastError());
}

// Each round starts from a new profile, as a new process does: one read of
// the file, then every key from memory.
void BM_LoadAccountsAndRulesCold(benchmark::State& state) {
  lp::testing::TempDirectory dir;
  const std::string path = lp::FromNativePath(dir.File("lpost.conf"));
  lp::Profile writer(path);
  WriteHeavySettings(writer);
  for (auto _ : state) {
    lp::Profile profile(path);
    lp::CSetMenuArray accounts;
    accounts.Load(profile);
    lp::CDivMenuArray rules;
    rules.Load(profile);
    benchmark::DoNotOptimize(accounts);
    benchmark::DoNotOptimize(rules);
  }
}
BENCHMARK(BM_LoadAccountsAndRulesCold)->Unit(benchmark::kMillisecond);

}  // namespace
