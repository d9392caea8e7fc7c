#include "net/address_field.h"

#include "codec/japanese_text.h"
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

bool IsLanDestination(std::string_view entry) { return ContainsPathSeparator(AddressPart(entry)); }

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
