#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "store/object_archive.h"

// One mail of a mailbox: the header values shown in the mail list and the
// two offsets of its text block in the box's text file. All strings are
// Shift_JIS.

namespace lp {

// Status codes of a mail.
inline constexpr int kStatusRead = 0;     // 既読
inline constexpr int kStatusUnread = 1;   // 未読
inline constexpr int kStatusReplied = 2;  // 返信済み
inline constexpr int kStatusUnsent = 3;   // 未送信
inline constexpr int kStatusSent = 4;     // 送信済み

// Bit of CMail::flags: the received mail has a non-empty Reply-To header.
inline constexpr int kFlagHasReplyTo = 1;

// Labels are 0 (none) or 1 to 10.
inline constexpr int kMaxLabel = 10;

class CMail {
 public:
  // Members in the order they are serialised.
  std::string to;
  std::string from;
  std::string subject;
  std::int32_t date = 0;  // seconds since 1970-01-01 00:00 UTC
  std::string cc;
  std::string bcc;
  std::string message_id;   // outgoing mail: the reference chain of a reply
  std::string attachments;  // full paths joined by "\n"
  // The next four are 16-bit words in the file: the low 16 bits are
  // written and loading zero-extends them.
  std::int32_t status = kStatusRead;
  std::int32_t signature = 0;  // 1-based signature number, 0 = none
  std::int32_t flags = 0;
  std::int32_t label = 0;
  std::uint32_t text_start = 0;  // first byte of the text block
  std::uint32_t text_end = 0;    // just past the block's ".\r\n" line

  // Identity of the record in its open box, given when the box loads it or
  // takes it in; it survives sorting and the removal of other records and is
  // never saved. 0 until the record belongs to a box.
  std::uint64_t serial = 0;

  // Record class of the index file.
  static constexpr ArchiveClass kArchiveClass{"CMail", 1};
  // Version word written before the fields (read back and not checked).
  static constexpr std::uint16_t kVersion = 100;
  // Smallest record in the file, with its class tag: every string empty.
  static constexpr std::size_t kMinArchivedSize = 2 + 2 + 7 * 1 + 4 + 4 * 2 + 2 * 4;

  // Writes the fields (not the item header).
  void Serialize(ObjectArchiveWriter& writer) const;
  // Reads the fields; false (and the reader's error) on bad data.
  bool Deserialize(ObjectArchiveReader& reader);

  [[nodiscard]] bool IsUnread() const { return status == kStatusUnread; }
  // Statuses 3 and 4 mark outgoing mail.
  [[nodiscard]] bool IsOutgoing() const { return status == kStatusUnsent || status == kStatusSent; }
};

}  // namespace lp
