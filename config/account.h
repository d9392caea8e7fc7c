#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// One connection account ("接続先"): servers, login, sender identity,
// signature and the server-side options of one mailbox. All strings are
// Shift_JIS. docs/accounts.md lists the settings keys of each field.

namespace lp {

// How a connection is secured. Not in the classic settings: the keys
// PopTls and SmtpTls are ours, and their absence means None, the classic
// plain dialogue.
enum class AccountTls : int {
  None = 0,      // plain TCP
  Implicit = 1,  // TLS from the first byte (POP3S, SMTPS)
  StartTls = 2,  // plain first, then STLS (POP3) or STARTTLS (SMTP)
};

// How the account logs in to its servers ("認証方式"). Not in the classic
// settings: the key AuthMethod is ours, and its absence means Password.
enum class AccountAuth : int {
  Password = 0,  // USER/PASS, APOP; SMTP AUTH with the password
  OAuth2 = 1,    // a bearer token from an OAuth 2.0 sign-in (XOAUTH2, OAUTHBEARER)
};

// Default ports. Implicit TLS gets its own well-known port when the file
// names none.
inline constexpr std::uint16_t kDefaultPopPort = 110;
inline constexpr std::uint16_t kDefaultPopsPort = 995;
inline constexpr std::uint16_t kDefaultSmtpPort = 25;
inline constexpr std::uint16_t kDefaultSmtpsPort = 465;

// A record of the account table. The initial values are those of an
// account made new in the connection settings; loading from the settings
// file takes some defaults from older keys instead (CSetMenuArray::Load).
struct CSetMenu {
  std::string name;                  // [Set] SetNN
  std::string pop;                   // Pop: POP server host
  std::string smtp;                  // Smtp: SMTP server host
  std::string adr;                   // Adr: mail address
  std::string user_id;               // UserID: POP user
  std::string pass;                  // Pass: POP password, in clear (stored scrambled)
  std::string sender_name;           // Name: sender's name
  std::string sys_pass;              // SysPass: second password, kept and copied only
  int signe = 0;                     // Signe: 0 none, k = k-th signature
  bool auto_con = false;             // AutoCon: dial before receiving or sending
  bool auto_dis = false;             // AutoDis: hang up afterwards
  bool not_del = true;               // NotDel: leave mail on the server
  std::string ras_name;              // RasName: dial-up entry
  std::string message_id;            // MessageID: Message-ID of the last mail received
  int retr = 1;                      // RETR: unread pointer (next message number)
  bool round = true;                 // Round: patrol target
  bool apop = false;                 // APOP
  bool smtp_auth = false;            // SmtpAuth
  int smtp_auth_mode = 0;            // SmtpAuthMode: list index of the method
  bool pop_before = false;           // PopBefore: receive first in send-and-receive
  bool mail_kakunin = false;         // MailKakunin: confirm each mail
  std::string bcc_adr;               // BccAdr: automatic Bcc address
  std::uint16_t smtp_port = kDefaultSmtpPort;  // SmtpPortNo
  std::uint16_t pop_port = kDefaultPopPort;    // PopPortNo
  AccountTls pop_tls = AccountTls::None;       // PopTls
  AccountTls smtp_tls = AccountTls::None;      // SmtpTls
  AccountAuth auth = AccountAuth::Password;    // AuthMethod
  std::string oauth_provider;                  // OAuthProvider: an entry of the provider file

  bool operator==(const CSetMenu&) const = default;
};

// The text a mail from this account carries as its sender:
// "Name <adr>", or the address alone when the name is empty.
[[nodiscard]] std::string SenderText(const CSetMenu& account);

// The password as stored in Pass: ASCII digits and letters rotated within
// their own range by a shift that repeats every eight bytes; every other
// byte unchanged. Unscramble is the inverse.
[[nodiscard]] std::string ScramblePassword(std::string_view password);
[[nodiscard]] std::string UnscramblePassword(std::string_view scrambled);

// The two received-mail list files of an account (in the data directory).
enum class UidList {
  Received,  // "UIDL" + name + ".txt": uids already received
  New,       // "UIDL2" + name + ".txt": the list written during a session
};

// The account name made usable in a file name: ":" becomes a space,
// "/", "\", "*", "?", "<", ">" and "|" are dropped; the second byte of a
// double-byte character is always kept.
[[nodiscard]] std::string SafeListName(std::string_view account_name);
[[nodiscard]] std::string ListFileName(std::string_view account_name, UidList which);

// AccountTls from a stored integer. Values other than 0 and 2 read as
// Implicit: a value meant as some TLS never turns into plain text.
[[nodiscard]] AccountTls AccountTlsFromInt(int value);

}  // namespace lp
