#include "config/account_table.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <utility>

#include "config/config_messages.h"

namespace lp {

namespace {

// Defaults of a loaded account that come from the older single-account keys.
struct ProfileDefaults {
  bool auto_con = false;
  bool auto_dis = false;
  std::string ras_name;
  bool not_del = true;
  bool pop_before = false;
  bool mail_kakunin = false;
};

// Every key of an account section, in the order they are written, with
// the default a missing key takes. Load and save walk the same list.
template <typename Visitor>
void VisitAccountKeys(CSetMenu& a, const ProfileDefaults& d, Visitor& v) {
  v.String("Pop", a.pop, "");
  v.String("Smtp", a.smtp, "");
  v.String("Adr", a.adr, "");
  v.String("UserID", a.user_id, "");
  v.Password("Pass", a.pass);
  v.String("Name", a.sender_name, "");
  v.String("SysPass", a.sys_pass, "");
  v.Int("Signe", a.signe, 1);
  v.Flag("AutoCon", a.auto_con, d.auto_con);
  v.Flag("AutoDis", a.auto_dis, d.auto_dis);
  v.Flag("NotDel", a.not_del, d.not_del);
  v.String("RasName", a.ras_name, d.ras_name);
  v.String("MessageID", a.message_id, "");
  v.Int("RETR", a.retr, 1);
  v.Flag("Round", a.round, true);
  v.Flag("APOP", a.apop, false);
  v.Flag("SmtpAuth", a.smtp_auth, false);
  v.Int("SmtpAuthMode", a.smtp_auth_mode, 0);
  v.Flag("PopBefore", a.pop_before, d.pop_before);
  v.Flag("MailKakunin", a.mail_kakunin, d.mail_kakunin);
  v.String("BccAdr", a.bcc_adr, "");
  v.Port("SmtpPortNo", a.smtp_port, "SmtpTls", kDefaultSmtpsPort, kDefaultSmtpPort);
  v.Port("PopPortNo", a.pop_port, "PopTls", kDefaultPopsPort, kDefaultPopPort);
  v.Tls("PopTls", a.pop_tls);
  v.Tls("SmtpTls", a.smtp_tls);
  v.Auth("AuthMethod", a.auth);
  v.String("OAuthProvider", a.oauth_provider, "");
}

class KeyReader {
 public:
  KeyReader(const Profile& profile, std::string section) : profile_(profile), section_(std::move(section)) {}

  void String(const char* key, std::string& field, std::string_view fallback) {
    field = profile_.GetString(section_, key, fallback);
  }
  void Password(const char* key, std::string& field) {
    field = UnscramblePassword(profile_.GetString(section_, key, ""));
  }
  void Int(const char* key, int& field, int fallback) { field = profile_.GetInt(section_, key, fallback); }
  void Flag(const char* key, bool& field, bool fallback) {
    field = profile_.GetInt(section_, key, fallback ? 1 : 0) != 0;
  }
  void Port(const char* key, std::uint16_t& field, const char* tls_key, std::uint16_t implicit_default,
            std::uint16_t plain_default) {
    bool implicit = AccountTlsFromInt(profile_.GetInt(section_, tls_key, 0)) == AccountTls::Implicit;
    // Kept as a 16-bit value, as the port field holds it.
    field = static_cast<std::uint16_t>(profile_.GetInt(section_, key, implicit ? implicit_default : plain_default));
  }
  void Tls(const char* key, AccountTls& field) { field = AccountTlsFromInt(profile_.GetInt(section_, key, 0)); }
  // Only 1 means OAuth 2.0; anything else keeps the password login.
  void Auth(const char* key, AccountAuth& field) {
    field = profile_.GetInt(section_, key, 0) == 1 ? AccountAuth::OAuth2 : AccountAuth::Password;
  }

 private:
  const Profile& profile_;
  std::string section_;
};

// Collects the entries of one batch write. Values live in a deque so that
// the views handed to the profile stay valid while entries are added.
class KeyWriter {
 public:
  void Add(std::string section, std::string key, std::string value) {
    texts_.push_back(std::move(section));
    std::string_view s = texts_.back();
    texts_.push_back(std::move(key));
    std::string_view k = texts_.back();
    texts_.push_back(std::move(value));
    entries_.push_back({s, k, texts_.back()});
  }
  [[nodiscard]] const std::vector<ProfileEntry>& Entries() const { return entries_; }

 private:
  std::deque<std::string> texts_;
  std::vector<ProfileEntry> entries_;
};

class SectionWriter {
 public:
  SectionWriter(KeyWriter& writer, std::string section) : writer_(writer), section_(std::move(section)) {}

  void String(const char* key, std::string& field, std::string_view) { writer_.Add(section_, key, field); }
  void Password(const char* key, std::string& field) { writer_.Add(section_, key, ScramblePassword(field)); }
  void Int(const char* key, int& field, int) { writer_.Add(section_, key, std::to_string(field)); }
  void Flag(const char* key, bool& field, bool) { writer_.Add(section_, key, field ? "1" : "0"); }
  void Port(const char* key, std::uint16_t& field, const char*, std::uint16_t, std::uint16_t) {
    writer_.Add(section_, key, std::to_string(field));
  }
  void Tls(const char* key, AccountTls& field) {
    writer_.Add(section_, key, std::to_string(static_cast<int>(field)));
  }
  void Auth(const char* key, AccountAuth& field) {
    writer_.Add(section_, key, std::to_string(static_cast<int>(field)));
  }

 private:
  KeyWriter& writer_;
  std::string section_;
};

}  // namespace

std::string AccountSectionName(std::size_t index) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "Set%02zu", index);
  return buffer;
}

std::string DefaultAccountName(std::size_t index) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, kAccountNameFormat, index);
  return buffer;
}

CSetMenuArray::CSetMenuArray() {
  accounts_.emplace_back();
  accounts_.back().name = DefaultAccountName(0);
}

void CSetMenuArray::Load(const Profile& profile) {
  int current = profile.GetInt("Mail", "SetNo", 0);
  int count = profile.GetInt("Set", "SetCount", 1);
  count = std::clamp(count, 1, static_cast<int>(kMaxAccounts));

  ProfileDefaults defaults;
  defaults.auto_con = profile.GetInt("Ras", "AutoCon", 0) != 0;
  defaults.auto_dis = profile.GetInt("Ras", "AutoDis", 0) != 0;
  defaults.ras_name = profile.GetString("Ras", "Name", "");
  defaults.not_del = profile.GetInt("System", "NotDel", 1) != 0;
  defaults.pop_before = profile.GetInt("System", "RFirst", 0) != 0;
  defaults.mail_kakunin = profile.GetInt("System", "MailKakunin", 0) != 0;

  accounts_.assign(static_cast<std::size_t>(count), CSetMenu{});
  for (std::size_t i = 0; i < accounts_.size(); ++i) {
    CSetMenu& account = accounts_[i];
    std::string section = AccountSectionName(i);
    account.name = profile.GetString("Set", section, DefaultAccountName(i));
    KeyReader reader(profile, section);
    VisitAccountKeys(account, defaults, reader);
  }
  current_ = current >= 0 && current < count ? static_cast<std::size_t>(current) : 0;
}

bool CSetMenuArray::Save(Profile& profile) const {
  KeyWriter writer;
  writer.Add("Mail", "SetNo", std::to_string(current_));
  writer.Add("Set", "SetCount", std::to_string(accounts_.size()));
  ProfileDefaults unused;
  for (std::size_t i = 0; i < accounts_.size(); ++i) {
    std::string section = AccountSectionName(i);
    writer.Add("Set", section, accounts_[i].name);
    CSetMenu copy = accounts_[i];
    SectionWriter section_writer(writer, section);
    VisitAccountKeys(copy, unused, section_writer);
  }
  return profile.WriteStrings(writer.Entries());
}

bool CSetMenuArray::SaveReceivePosition(Profile& profile, std::size_t index) const {
  if (index >= accounts_.size()) return false;
  std::string section = AccountSectionName(index);
  std::string retr = std::to_string(accounts_[index].retr);
  const ProfileEntry entries[] = {
      {section, "MessageID", accounts_[index].message_id},
      {section, "RETR", retr},
  };
  return profile.WriteStrings(entries);
}

bool CSetMenuArray::SaveCurrentIndex(Profile& profile) const {
  return profile.WriteInt("Mail", "SetNo", static_cast<int>(current_));
}

bool CSetMenuArray::SetCurrentIndex(std::size_t index) {
  if (index >= accounts_.size()) return false;
  current_ = index;
  return true;
}

bool CSetMenuArray::Append(CSetMenu account) {
  if (accounts_.size() >= kMaxAccounts) return false;
  accounts_.push_back(std::move(account));
  return true;
}

bool CSetMenuArray::AppendNew(std::string name) {
  CSetMenu account;
  account.name = std::move(name);
  const CSetMenu& first = accounts_.front();
  account.sys_pass = first.sys_pass;
  account.adr = first.adr;
  account.sender_name = first.sender_name;
  account.signe = first.signe;
  return Append(std::move(account));
}

bool CSetMenuArray::RemoveAt(std::size_t index) {
  if (index >= accounts_.size() || accounts_.size() == 1) return false;
  accounts_.erase(accounts_.begin() + static_cast<std::ptrdiff_t>(index));
  if (current_ > index || current_ >= accounts_.size()) --current_;
  return true;
}

bool CSetMenuArray::Swap(std::size_t a, std::size_t b) {
  if (a >= accounts_.size() || b >= accounts_.size()) return false;
  std::swap(accounts_[a], accounts_[b]);
  if (current_ == a) {
    current_ = b;
  } else if (current_ == b) {
    current_ = a;
  }
  return true;
}

int CSetMenuArray::FindByAddress(std::string_view address) const {
  for (std::size_t i = 0; i < accounts_.size(); ++i) {
    if (accounts_[i].adr == address) return static_cast<int>(i);
  }
  return -1;
}

std::size_t CSetMenuArray::FindForSending(std::string_view address) const {
  if (Current().adr == address) return current_;
  int found = FindByAddress(address);
  return found >= 0 ? static_cast<std::size_t>(found) : current_;
}

std::string CSetMenuArray::ListFileName(std::size_t index, UidList which) const {
  return lp::ListFileName(At(index).name, which);
}

}  // namespace lp
