#include "config/account.h"

#include <array>
#include <cstddef>

#include "platform/sjis_char.h"

namespace lp {

namespace {

// The eight rotation amounts of the password scramble. Changing them makes
// every stored password unreadable.
constexpr std::array<int, 8> kPasswordShifts = {4, 2, 7, 5, 3, 1, 6, 4};

char Rotate(char c, int shift) {
  auto rotate_in = [&](char first, int size) {
    int offset = (c - first + shift) % size;
    if (offset < 0) offset += size;
    return static_cast<char>(first + offset);
  };
  if (c >= '0' && c <= '9') return rotate_in('0', 10);
  if (c >= 'A' && c <= 'Z') return rotate_in('A', 26);
  if (c >= 'a' && c <= 'z') return rotate_in('a', 26);
  return c;
}

std::string RotatePassword(std::string_view text, int direction) {
  std::string result(text);
  for (std::size_t i = 0; i < result.size(); ++i) {
    result[i] = Rotate(result[i], direction * kPasswordShifts[i % kPasswordShifts.size()]);
  }
  return result;
}

}  // namespace

std::string SenderText(const CSetMenu& account) {
  if (account.sender_name.empty()) return account.adr;
  return account.sender_name + " <" + account.adr + ">";
}

std::string ScramblePassword(std::string_view password) { return RotatePassword(password, 1); }

std::string UnscramblePassword(std::string_view scrambled) { return RotatePassword(scrambled, -1); }

std::string SafeListName(std::string_view account_name) {
  std::string safe;
  safe.reserve(account_name.size());
  for (std::size_t i = 0; i < account_name.size(); ++i) {
    char c = account_name[i];
    if (IsSjisLeadByte(static_cast<unsigned char>(c)) && i + 1 < account_name.size()) {
      safe += c;
      safe += account_name[++i];
      continue;
    }
    switch (c) {
      case ':':
        safe += ' ';
        break;
      case '/':
      case '\\':
      case '*':
      case '?':
      case '<':
      case '>':
      case '|':
        break;
      default:
        safe += c;
    }
  }
  return safe;
}

std::string ListFileName(std::string_view account_name, UidList which) {
  return std::string(which == UidList::Received ? "UIDL" : "UIDL2") + SafeListName(account_name) + ".txt";
}

AccountTls AccountTlsFromInt(int value) {
  switch (value) {
    case 0:
      return AccountTls::None;
    case 2:
      return AccountTls::StartTls;
    default:
      // Any other value asks for TLS in some form: never read it as plain.
      return AccountTls::Implicit;
  }
}

}  // namespace lp
