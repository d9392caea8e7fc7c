#include "net/address_field.h"

#include "codec/japanese_text.h"
#include "platform/sjis_char.h"
#include "platform/sjis_path.h"

namespace lp {

// None of "<", ">", "(" or ")" can be the trail byte of a double-byte
// character, so plain byte searches find only real ones.

std::string_view AddressPart(std::string_view entry) {
  const std::size_t open = entry.rfind('<');
  if (open != std::string_view::npos) {
    const std::size_t close = entry.rfind('>');
    const std::size_t start = open + 1;
    if (close == std::string_view::npos || close < start) return entry.substr(start);
    return entry.substr(start, close - start);
  }
  const std::size_t paren = entry.find('(');
  if (paren != std::string_view::npos) return entry.substr(0, paren);
  return entry;
}

std::string_view DisplayNamePart(std::string_view entry) {
  const std::size_t open = entry.find('<');
  if (open != std::string_view::npos) return entry.substr(0, open);
  const std::size_t paren = entry.find('(');
  if (paren == std::string_view::npos) return {};
  const std::size_t close = entry.find(')', paren + 1);
  if (close == std::string_view::npos) return {};
  return entry.substr(paren + 1, close - paren - 1);
}

std::string_view BareAddress(std::string_view entry) {
  std::string_view address = AddressPart(entry);
  while (!address.empty() && (address.front() == ' ' || address.front() == '\t')) address.remove_prefix(1);
  while (!address.empty() && (address.back() == ' ' || address.back() == '\t')) address.remove_suffix(1);
  return address;
}

namespace {

// The position of the last "@" that is a character of its own, not the
// trail byte of a double-byte one.
std::size_t FindLastAtSign(std::string_view text) {
  std::size_t found = std::string_view::npos;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsSjisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
      ++i;
    } else if (text[i] == '@') {
      found = i;
    }
  }
  return found;
}

}  // namespace

bool IsLanDestination(std::string_view entry) {
  const std::string_view address = AddressPart(entry);
  const std::size_t at = FindLastAtSign(address);
  // A directory name may hold an "@" too; it is a directory when the part
  // after the "@" still names one.
  if (at != std::string_view::npos && !ContainsPathSeparator(address.substr(at + 1))) return false;
  return ContainsPathSeparator(address);
}

bool SplitAddressField(std::string_view field, std::vector<std::string>& entries, const AddressListLookup& lists) {
  bool any_network = false;
  auto add = [&](std::string_view entry) {
    entries.emplace_back(entry);
    if (!IsLanDestination(entry)) any_network = true;
  };
  if (lists) {
    if (const std::optional<std::vector<std::string>> members = lists(field)) {
      for (const std::string& member : *members) add(member);
      return any_network;
    }
  }
  std::string_view rest = field;
  for (long comma = FindUnquoted(rest, ',', '"'); comma >= 0; comma = FindUnquoted(rest, ',', '"')) {
    add(rest.substr(0, static_cast<std::size_t>(comma)));
    rest.remove_prefix(static_cast<std::size_t>(comma) + 1);
  }
  if (!rest.empty()) add(rest);
  return any_network;
}

}  // namespace lp
