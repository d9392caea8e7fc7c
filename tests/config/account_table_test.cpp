#include "config/account_table.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::TempDirectory;
using testing::WriteFileBytes;

constexpr char kCompany[] = "\x89\xEF\x8E\xD0";  // 会社
constexpr char kHome[] = "\x8E\xA9\x91\xEE";     // 自宅

class AccountTableTest : public ::testing::Test {
 protected:
  TempDirectory dir_;
  std::string conf_ = dir_.File("lpost.conf");

  Profile WithFile(const std::string& bytes) {
    WriteFileBytes(conf_, bytes);
    return Profile(FromNativePath(conf_));
  }
  static std::string Fixture(const std::string& name) {
    return ReadFileBytes(std::string(LP_TEST_DATA_DIR) + "/" + name);
  }
  CSetMenuArray Loaded(const std::string& bytes) {
    Profile profile = WithFile(bytes);
    CSetMenuArray table;
    table.Load(profile);
    return table;
  }
};

TEST_F(AccountTableTest, LoadsEveryFieldOfTheSavedLayout) {
  CSetMenuArray table = Loaded(Fixture("accounts_saved_layout.conf"));
  ASSERT_EQ(table.Count(), 2u);
  EXPECT_EQ(table.CurrentIndex(), 1u);

  const CSetMenu& company = table.At(0);
  EXPECT_EQ(company.name, kCompany);
  EXPECT_EQ(company.pop, "pop.example.co.jp");
  EXPECT_EQ(company.smtp, "smtp.example.co.jp");
  EXPECT_EQ(company.adr, "taro@example.co.jp");
  EXPECT_EQ(company.user_id, "taro");
  EXPECT_EQ(company.pass, "Secret99");
  EXPECT_EQ(company.sender_name, "\x8E\x52\x93\x63\x91\xBE\x98\x59");  // 山田太郎
  EXPECT_EQ(company.signe, 1);
  EXPECT_EQ(company.message_id, "<20261201.abc@example.co.jp>");
  EXPECT_EQ(company.retr, 12);
  EXPECT_TRUE(company.round);
  EXPECT_TRUE(company.apop);
  EXPECT_TRUE(company.smtp_auth);
  EXPECT_EQ(company.smtp_auth_mode, 2);
  EXPECT_EQ(company.smtp_port, 587);
  EXPECT_EQ(company.pop_port, 995);
  EXPECT_EQ(company.auth, AccountAuth::OAuth2);
  EXPECT_EQ(company.oauth_provider, "google");
  EXPECT_EQ(company.pop_tls, AccountTls::Implicit);
  EXPECT_EQ(company.smtp_tls, AccountTls::StartTls);

  const CSetMenu& home = table.At(1);
  EXPECT_EQ(home.name, kHome);
  EXPECT_EQ(home.pass, "p@ss w");
  EXPECT_EQ(home.sys_pass, "sys");
  EXPECT_EQ(home.signe, 0);
  EXPECT_TRUE(home.auto_con);
  EXPECT_TRUE(home.auto_dis);
  EXPECT_FALSE(home.not_del);
  EXPECT_EQ(home.ras_name, "\x83\x76\x83\x8D\x83\x6F\x83\x43\x83\x5F");  // プロバイダ
  EXPECT_FALSE(home.round);
  EXPECT_TRUE(home.pop_before);
  EXPECT_TRUE(home.mail_kakunin);
  EXPECT_EQ(home.bcc_adr, "copy@example.net");
  EXPECT_EQ(SenderText(table.Current()), "taro@example.net");
}

TEST_F(AccountTableTest, SaveIntoAnEmptyFileWritesTheLayoutByteForByte) {
  std::string fixture = Fixture("accounts_saved_layout.conf");
  CSetMenuArray table = Loaded(fixture);
  Profile fresh(FromNativePath(dir_.File("fresh.conf")));
  ASSERT_TRUE(table.Save(fresh));
  EXPECT_EQ(ReadFileBytes(dir_.File("fresh.conf")), fixture);
}

TEST_F(AccountTableTest, SaveOverTheSameSettingsChangesNoByte) {
  std::string fixture = Fixture("accounts_saved_layout.conf");
  Profile profile = WithFile(fixture);
  CSetMenuArray table;
  table.Load(profile);
  ASSERT_TRUE(table.Save(profile));
  EXPECT_EQ(ReadFileBytes(conf_), fixture);

  CSetMenuArray again;
  again.Load(profile);
  EXPECT_EQ(again, table);
}

TEST_F(AccountTableTest, EmptySettingsGiveOneDefaultAccount) {
  CSetMenuArray table = Loaded("");
  ASSERT_EQ(table.Count(), 1u);
  const CSetMenu& account = table.Current();
  EXPECT_EQ(account.name, "\x90\xDA\x91\xB1" "00");  // 接続00
  EXPECT_EQ(account.smtp_port, 25);
  EXPECT_EQ(account.pop_port, 110);
  EXPECT_TRUE(account.round);
  EXPECT_TRUE(account.not_del);
  EXPECT_EQ(account.signe, 1);
  EXPECT_EQ(account.retr, 1);
  EXPECT_EQ(account.pop_tls, AccountTls::None);
  EXPECT_EQ(account.smtp_tls, AccountTls::None);
  EXPECT_EQ(table.ListFileName(0, UidList::Received), "UIDL\x90\xDA\x91\xB1" "00.txt");
  EXPECT_EQ(table.ListFileName(0, UidList::New), "UIDL2\x90\xDA\x91\xB1" "00.txt");
}

TEST_F(AccountTableTest, OlderSingleAccountKeysAreTheDefaults) {
  CSetMenuArray table = Loaded(
      "[Ras]\r\nAutoCon=1\r\nAutoDis=1\r\nName=dialup\r\n"
      "[System]\r\nNotDel=0\r\nRFirst=1\r\nMailKakunin=1\r\n"
      "[Set]\r\nSetCount=2\r\n"
      "[Set01]\r\nAutoCon=0\r\nNotDel=1\r\nRasName=other\r\nMailKakunin=0\r\n");
  ASSERT_EQ(table.Count(), 2u);
  const CSetMenu& old = table.At(0);
  EXPECT_TRUE(old.auto_con);
  EXPECT_TRUE(old.auto_dis);
  EXPECT_EQ(old.ras_name, "dialup");
  EXPECT_FALSE(old.not_del);
  EXPECT_TRUE(old.pop_before);
  EXPECT_TRUE(old.mail_kakunin);
  // Keys of the account's own section win.
  const CSetMenu& own = table.At(1);
  EXPECT_EQ(own.name, "\x90\xDA\x91\xB1" "01");
  EXPECT_FALSE(own.auto_con);
  EXPECT_TRUE(own.auto_dis);
  EXPECT_EQ(own.ras_name, "other");
  EXPECT_TRUE(own.not_del);
  EXPECT_TRUE(own.pop_before);
  EXPECT_FALSE(own.mail_kakunin);
}

struct TlsCase {
  const char* section;
  std::uint16_t pop_port;
  AccountTls pop_tls;
  std::uint16_t smtp_port;
  AccountTls smtp_tls;
};

const TlsCase kTlsCases[] = {
    {"", 110, AccountTls::None, 25, AccountTls::None},
    {"PopTls=1\r\nSmtpTls=1\r\n", 995, AccountTls::Implicit, 465, AccountTls::Implicit},
    {"PopTls=2\r\nSmtpTls=2\r\n", 110, AccountTls::StartTls, 25, AccountTls::StartTls},
    {"PopTls=1\r\nPopPortNo=1995\r\nSmtpTls=2\r\nSmtpPortNo=587\r\n", 1995, AccountTls::Implicit, 587,
     AccountTls::StartTls},
    {"PopTls=9\r\n", 995, AccountTls::Implicit, 25, AccountTls::None},
    // Ports are kept as 16-bit values.
    {"PopPortNo=65646\r\nSmtpPortNo=-1\r\n", 110, AccountTls::None, 65535, AccountTls::None},
};

TEST_F(AccountTableTest, TlsKeysAndTheirPorts) {
  for (const auto& c : kTlsCases) {
    CSetMenuArray table = Loaded(std::string("[Set00]\r\n") + c.section);
    const CSetMenu& account = table.At(0);
    EXPECT_EQ(account.pop_port, c.pop_port) << c.section;
    EXPECT_EQ(account.pop_tls, c.pop_tls) << c.section;
    EXPECT_EQ(account.smtp_port, c.smtp_port) << c.section;
    EXPECT_EQ(account.smtp_tls, c.smtp_tls) << c.section;
  }
}

struct CountCase {
  const char* file;
  std::size_t count;
  std::size_t current;
};

const CountCase kCountCases[] = {
    {"[Set]\r\nSetCount=250\r\n[Mail]\r\nSetNo=199\r\n", 200, 199},
    {"[Set]\r\nSetCount=0\r\n", 1, 0},
    {"[Set]\r\nSetCount=-4\r\n", 1, 0},
    {"[Set]\r\nSetCount=3\r\n[Mail]\r\nSetNo=3\r\n", 3, 0},
    {"[Set]\r\nSetCount=3\r\n[Mail]\r\nSetNo=-1\r\n", 3, 0},
};

TEST_F(AccountTableTest, CountAndCurrentIndexStayInRange) {
  for (const auto& c : kCountCases) {
    CSetMenuArray table = Loaded(c.file);
    EXPECT_EQ(table.Count(), c.count) << c.file;
    EXPECT_EQ(table.CurrentIndex(), c.current) << c.file;
  }
}

TEST_F(AccountTableTest, AtMostTwoHundredAccounts) {
  CSetMenuArray table;
  while (table.Count() < CSetMenuArray::kMaxAccounts) ASSERT_TRUE(table.AppendNew("n"));
  EXPECT_FALSE(table.AppendNew("one too many"));
  EXPECT_FALSE(table.Append(CSetMenu{}));
  EXPECT_EQ(table.Count(), 200u);

  Profile profile = WithFile("");
  ASSERT_TRUE(table.Save(profile));
  CSetMenuArray loaded;
  loaded.Load(profile);
  EXPECT_EQ(loaded.Count(), 200u);
  EXPECT_EQ(loaded.At(199).name, "n");
}

TEST_F(AccountTableTest, NewAccountsTakeIdentityFromTheFirst) {
  CSetMenuArray table;
  CSetMenu& first = table.At(0);
  first.adr = "a@example.jp";
  first.sender_name = "A";
  first.sys_pass = "second";
  first.signe = 3;
  first.pop = "pop.example.jp";
  first.not_del = false;
  ASSERT_TRUE(table.AppendNew("new"));
  const CSetMenu& added = table.At(1);
  EXPECT_EQ(added.name, "new");
  EXPECT_EQ(added.adr, "a@example.jp");
  EXPECT_EQ(added.sender_name, "A");
  EXPECT_EQ(added.sys_pass, "second");
  EXPECT_EQ(added.signe, 3);
  EXPECT_EQ(added.pop, "");
  EXPECT_TRUE(added.not_del);
}

CSetMenuArray Named(std::initializer_list<const char*> names, std::size_t current) {
  CSetMenuArray table;
  table.At(0).name = *names.begin();
  for (auto it = names.begin() + 1; it != names.end(); ++it) table.AppendNew(*it);
  table.SetCurrentIndex(current);
  return table;
}

std::string Names(const CSetMenuArray& table) {
  std::string names;
  for (std::size_t i = 0; i < table.Count(); ++i) names += table.At(i).name;
  return names;
}

TEST(AccountTableEditTest, RemoveKeepsTheCurrentAccount) {
  CSetMenuArray table = Named({"a", "b", "c"}, 2);
  ASSERT_TRUE(table.RemoveAt(0));
  EXPECT_EQ(Names(table), "bc");
  EXPECT_EQ(table.Current().name, "c");
  ASSERT_TRUE(table.RemoveAt(1));  // the current one, which was last
  EXPECT_EQ(table.Current().name, "b");
  EXPECT_FALSE(table.RemoveAt(0));  // the only account stays
  EXPECT_FALSE(table.RemoveAt(5));
  EXPECT_EQ(Names(table), "b");
}

TEST(AccountTableEditTest, SwapMovesTheCurrentIndexWithItsAccount) {
  CSetMenuArray table = Named({"a", "b", "c"}, 0);
  ASSERT_TRUE(table.Swap(0, 1));
  EXPECT_EQ(Names(table), "bac");
  EXPECT_EQ(table.CurrentIndex(), 1u);
  EXPECT_FALSE(table.Swap(2, 3));
  EXPECT_EQ(Names(table), "bac");
  EXPECT_FALSE(table.SetCurrentIndex(3));
  EXPECT_EQ(table.CurrentIndex(), 1u);
}

TEST(AccountTableEditTest, FindingTheAccountOfAnAddress) {
  CSetMenuArray table = Named({"a", "b", "c"}, 2);
  table.At(0).adr = "x@example.jp";
  table.At(1).adr = "y@example.jp";
  table.At(2).adr = "y@example.jp";
  EXPECT_EQ(table.FindByAddress("y@example.jp"), 1);
  EXPECT_EQ(table.FindByAddress("Y@example.jp"), -1);
  EXPECT_EQ(table.FindForSending("y@example.jp"), 2u);  // the current one matches
  EXPECT_EQ(table.FindForSending("x@example.jp"), 0u);
  EXPECT_EQ(table.FindForSending("z@example.jp"), 2u);
}

TEST_F(AccountTableTest, SectionsBeyondTheCountStay) {
  std::string fixture = Fixture("accounts_saved_layout.conf");
  Profile profile = WithFile(fixture);
  CSetMenuArray table;
  table.Load(profile);
  ASSERT_TRUE(table.RemoveAt(0));
  ASSERT_TRUE(table.Save(profile));
  CSetMenuArray loaded;
  loaded.Load(profile);
  ASSERT_EQ(loaded.Count(), 1u);
  EXPECT_EQ(loaded.At(0).name, kHome);
  EXPECT_EQ(loaded.At(0).pass, "p@ss w");
  EXPECT_EQ(profile.GetString("Set", "Set01"), kHome);
  EXPECT_EQ(profile.GetString("Set01", "Pop"), "mail.example.net");
}

TEST_F(AccountTableTest, AReceiveWritesOnlyItsPosition) {
  Profile profile = WithFile(Fixture("accounts_saved_layout.conf"));
  CSetMenuArray table;
  table.Load(profile);
  CSetMenuArray on_disk = table;
  table.At(0).retr = 31;
  table.At(0).message_id = "<new@example.co.jp>";
  table.At(0).pop = "not saved";
  table.SetCurrentIndex(0);
  ASSERT_TRUE(table.SaveReceivePosition(profile, 0));
  EXPECT_FALSE(table.SaveReceivePosition(profile, 2));
  CSetMenuArray loaded;
  loaded.Load(profile);
  on_disk.At(0).retr = 31;
  on_disk.At(0).message_id = "<new@example.co.jp>";
  EXPECT_EQ(loaded, on_disk);

  ASSERT_TRUE(table.SaveCurrentIndex(profile));
  loaded.Load(profile);
  EXPECT_EQ(loaded.CurrentIndex(), 0u);
  EXPECT_EQ(loaded.At(0).pop, "pop.example.co.jp");
}

TEST_F(AccountTableTest, AValueTheFileCannotHoldLeavesTheFileAlone) {
  std::string fixture = Fixture("accounts_saved_layout.conf");
  Profile profile = WithFile(fixture);
  CSetMenuArray table;
  table.Load(profile);
  table.At(1).pop = "changed";
  table.At(0).name = "line\r\nSetNo=5";
  EXPECT_FALSE(table.Save(profile));
  EXPECT_FALSE(profile.LastError().empty());
  EXPECT_EQ(ReadFileBytes(conf_), fixture);
}

}  // namespace
}  // namespace lp
