#include "config/account.h"

#include <string>

#include <gtest/gtest.h>

namespace lp {
namespace {

struct PasswordCase {
  const char* clear;
  const char* stored;
};

// Shifts 4, 2, 7, 5, 3, 1, 6, 4, repeating from the ninth byte.
const PasswordCase kPasswordCases[] = {
    {"", ""},
    {"Secret99", "Wgjwhu53"},
    {"zZ9", "dB6"},                        // each class wraps within itself
    {"p@ss w", "t@zx x"},                  // other bytes pass unchanged
    {"aaaaaaaaa", "echfdbgee"},            // the ninth byte takes the first shift again
    {"\x83\x41" "1", "\x83\x43" "8"},      // ア: its trail byte 'A' is rotated as a letter
};

TEST(PasswordScrambleTest, KnownValues) {
  for (const auto& c : kPasswordCases) {
    EXPECT_EQ(ScramblePassword(c.clear), c.stored) << c.clear;
    EXPECT_EQ(UnscramblePassword(c.stored), c.clear) << c.stored;
  }
}

TEST(PasswordScrambleTest, EveryByteRoundTrips) {
  std::string all;
  for (int i = 1; i < 256; ++i) all += static_cast<char>(i);
  EXPECT_EQ(UnscramblePassword(ScramblePassword(all)), all);
  EXPECT_NE(ScramblePassword(all), all);
}

TEST(SenderTextTest, NameAndAddressOrAddressAlone) {
  CSetMenu account;
  account.adr = "taro@example.jp";
  EXPECT_EQ(SenderText(account), "taro@example.jp");
  account.sender_name = "\x8E\x52\x93\x63";  // 山田
  EXPECT_EQ(SenderText(account), "\x8E\x52\x93\x63 <taro@example.jp>");
}

struct ListNameCase {
  const char* name;
  const char* received;
  const char* fresh;
};

const ListNameCase kListNameCases[] = {
    {"a/b:c", "UIDLab c.txt", "UIDL2ab c.txt"},
    {"x*?<>|\\y", "UIDLxy.txt", "UIDL2xy.txt"},
    // 表 and ソ end in 0x5C and 0x5C: a trail byte, never a backslash.
    {"\x95\x5C/\x83\x5C", "UIDL\x95\x5C\x83\x5C.txt", "UIDL2\x95\x5C\x83\x5C.txt"},
    // ー (0x81 0x5B) and − (0x81 0x7C, its trail byte equal to '|') stay whole.
    {"\x81\x5B\x81\x7C", "UIDL\x81\x5B\x81\x7C.txt", "UIDL2\x81\x5B\x81\x7C.txt"},
    {"", "UIDL.txt", "UIDL2.txt"},
    // A lead byte at the very end has no partner and stays.
    {"a\x82", "UIDLa\x82.txt", "UIDL2a\x82.txt"},
};

TEST(ListFileNameTest, SafeNamesForBothLists) {
  for (const auto& c : kListNameCases) {
    EXPECT_EQ(ListFileName(c.name, UidList::Received), c.received) << c.name;
    EXPECT_EQ(ListFileName(c.name, UidList::New), c.fresh) << c.name;
  }
}

TEST(AccountTlsTest, StoredValues) {
  EXPECT_EQ(AccountTlsFromInt(0), AccountTls::None);
  EXPECT_EQ(AccountTlsFromInt(1), AccountTls::Implicit);
  EXPECT_EQ(AccountTlsFromInt(2), AccountTls::StartTls);
  // A value we do not know still means TLS, never plain text.
  EXPECT_EQ(AccountTlsFromInt(3), AccountTls::Implicit);
  EXPECT_EQ(AccountTlsFromInt(-1), AccountTls::Implicit);
}

}  // namespace
}  // namespace lp
