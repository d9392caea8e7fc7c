#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

#include "store/mailbox_document.h"

// Which messages a box holds already, for an import that must not bring a
// message twice: the Message-Id with the Date for a message that has both,
// else a digest of its bytes, which the import writes into the status line
// the stored text begins with.

namespace lp {

// The status line of an imported message's stored text: "+OK import", and
// with a digest "+OK import sha256=<64 hex digits>".
inline constexpr std::string_view kImportStatusLine = "+OK import";
inline constexpr std::string_view kImportDigestPrefix = " sha256=";
inline constexpr std::size_t kImportDigestHexLength = 64;

class ImportKeys {
 public:
  // The keys of every record of `box` (reading the first line of the
  // stored texts for digests).
  void AddBox(CLPOSTDoc& box);

  // False when the key was there already.
  bool InsertIdentity(std::string_view message_id, std::int32_t date);
  bool InsertDigest(std::string_view hex_digest);
  [[nodiscard]] bool HasDigest(std::string_view hex_digest) const;
  [[nodiscard]] std::size_t size() const { return keys_.size(); }

 private:
  std::unordered_set<std::string> keys_;
};

// The digest in a stored text's first line, if it has one.
[[nodiscard]] std::optional<std::string> DigestOfStatusLine(std::string_view first_line);

}  // namespace lp
