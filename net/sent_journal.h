#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "store/mail_record.h"

// The mails a send run delivered, made durable the moment each is
// delivered: one line per mail appended to a journal beside the send box
// and forced to the disk, where an index save per mail would cost far more.
// The sent marks themselves reach the box's index only when the run ends;
// a run that never got there (a crash, a kill, a power cut) leaves the
// journal behind, and the next run applies it before it sends anything,
// so no mail the server accepted goes out twice. The journal goes once
// the box with the marks has been saved.
//
// A mail is known by a fingerprint of its record and text as the box file
// holds them while it is unsent, not by its place in the box: the box may
// be reordered, compacted or have mails deleted before the next run.

namespace lp {

struct SentJournalEntry {
  std::string fingerprint;  // MailFingerprint of the mail
  std::string message_id;   // the Message-ID it went out with
};

// The journal of the box whose index is `box_index_path`.
[[nodiscard]] std::string SentJournalPath(std::string_view box_index_path);

// SHA-256, in hexadecimal, of the fields of an unsent mail and its text.
[[nodiscard]] std::string MailFingerprint(const CMail& record, std::string_view text);

// The entries of a journal, in the order they were written; empty when
// there is none. A line that is not whole (the write it came from was cut
// off) is left out.
[[nodiscard]] std::vector<SentJournalEntry> ReadSentJournal(std::string_view path);

class SentJournal {
 public:
  explicit SentJournal(std::string path) : path_(std::move(path)) {}

  // Appends one entry and forces it to the disk before returning; false
  // when either fails.
  [[nodiscard]] bool Append(const SentJournalEntry& entry);
  // Closes and deletes the journal; false when it stays on the disk.
  [[nodiscard]] bool Remove();
  [[nodiscard]] const std::string& Path() const { return path_; }

 private:
  std::string path_;
  File file_;
};

}  // namespace lp
