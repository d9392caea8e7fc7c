#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "config/account.h"
#include "config/profile.h"

// The account table: up to 200 accounts and the index of the current one.
// Stored in "lpost.conf" as [Mail] SetNo (current index), [Set] SetCount,
// [Set] Set00, Set01 ... (the names) and one section "Set00", "Set01" ...
// per account. The table always holds at least one account and its current
// index is always valid.

namespace lp {

class CSetMenuArray {
 public:
  static constexpr std::size_t kMaxAccounts = 200;

  // One account with the values of a new record, named "接続00".
  CSetMenuArray();

  // Reads the table; missing keys take the defaults, some of which come
  // from the older single-account keys ([Ras] AutoCon, AutoDis, Name,
  // [System] NotDel, RFirst, MailKakunin). A count outside 1..200 is
  // brought into that range and a current index outside the table reads
  // as 0.
  void Load(const Profile& profile);
  // Writes SetNo, SetCount, the names and every key of each account's
  // section in one replacement of the file. Sections of accounts beyond
  // the count stay in the file. False when the file could not be written
  // (profile.LastError() says why); the file then stays as it was.
  [[nodiscard]] bool Save(Profile& profile) const;

  // Writes only what a receive changes in one account (RETR and
  // MessageID), or only the current index ([Mail] SetNo), leaving every
  // other key as it stands in the file. False when the file could not be
  // written or `index` is outside the table.
  [[nodiscard]] bool SaveReceivePosition(Profile& profile, std::size_t index) const;
  [[nodiscard]] bool SaveCurrentIndex(Profile& profile) const;

  [[nodiscard]] std::size_t Count() const { return accounts_.size(); }
  [[nodiscard]] const CSetMenu& At(std::size_t index) const { return accounts_.at(index); }
  [[nodiscard]] CSetMenu& At(std::size_t index) { return accounts_.at(index); }

  [[nodiscard]] std::size_t CurrentIndex() const { return current_; }
  [[nodiscard]] const CSetMenu& Current() const { return accounts_[current_]; }
  [[nodiscard]] CSetMenu& Current() { return accounts_[current_]; }
  // False (nothing changes) when `index` is outside the table.
  bool SetCurrentIndex(std::size_t index);

  // Adds an account at the end; false when the table is full.
  bool Append(CSetMenu account);
  // Adds a new account named `name` with the values of a new record and
  // the second password, address, sender name and signature of account 0,
  // as the connection settings make new accounts. False when full.
  bool AppendNew(std::string name);
  // Removes an account; later ones move down and the current index keeps
  // pointing at the same account. When the current account itself goes,
  // the one moving into its place becomes current (the new last one when
  // it was the last). False when `index` is outside the table or it is
  // the only account: the rest of the program needs a current account.
  bool RemoveAt(std::size_t index);
  // Exchanges two accounts; the current index follows its account. False
  // when either index is outside the table.
  bool Swap(std::size_t a, std::size_t b);

  // Index of the first account whose address equals `address` exactly, or -1.
  [[nodiscard]] int FindByAddress(std::string_view address) const;
  // The account to send from for a mail whose From address is `address`:
  // the current account when its address matches, else the first match,
  // else the current account.
  [[nodiscard]] std::size_t FindForSending(std::string_view address) const;

  // File name of one of the received-mail lists of an account.
  [[nodiscard]] std::string ListFileName(std::size_t index, UidList which) const;

  bool operator==(const CSetMenuArray&) const = default;

 private:
  std::vector<CSetMenu> accounts_;
  std::size_t current_ = 0;
};

// "Set%02d" for an account index: the key of its name in [Set] and the
// name of its section.
[[nodiscard]] std::string AccountSectionName(std::size_t index);
// "接続%02d": the name of an account whose [Set] key is missing.
[[nodiscard]] std::string DefaultAccountName(std::size_t index);

}  // namespace lp
