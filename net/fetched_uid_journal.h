#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_system.h"

// The uids of the messages a session has retrieved into the spool, noted
// one line per message as each arrives and folded into the account's list
// of received uids when the session ends.
//
// Without it a session that dies between its first RETR and its QUIT (a
// kill, a crash, a lost connection) leaves mail in the spool that the server
// still offers as new: the next receive fetches it again and the box gets it
// twice. Each line carries where its message begins in the spool; only a
// message found whole there counts, so a line whose message was cut off or
// did not reach the disk (power lost before the spool's flush) is dropped:
// such a message is fetched again rather than lost.

namespace lp {

// The journal that belongs to an account's list of received uids.
[[nodiscard]] std::string FetchedJournalPathFor(std::string_view received_uid_list);

class FetchedUidJournal {
 public:
  // Opens for appending (created when missing).
  [[nodiscard]] bool Open(std::string_view sjis_path);
  [[nodiscard]] bool IsOpen() const { return file_.IsOpen(); }
  // Notes a message about to be retrieved and where the spool will hold it,
  // before its RETR is sent, so that no moment exists in which the message
  // is whole in the spool and not noted. Written, not flushed: the line
  // only has to outlive the process; the check of the spool guards against
  // a power loss.
  [[nodiscard]] bool Note(std::uint64_t spool_start, int number, std::string_view uid);
  void Close() { (void)file_.Close(); }

 private:
  File file_;
};

enum class SettleResult {
  Nothing,   // no journal
  Settled,   // its messages are in the received list and the journal is gone
  Failed,    // the list could not be written; the journal stays
};

// Appends to `received_uid_list` the uids of the journal whose messages are
// whole in `spool_path`, then removes the journal. The spool must already
// be on the disk (the caller flushed it): the list may never name a message
// the disk does not hold. Settle before anything else appends to the spool:
// a message appended later could sit where a noted one was cut off.
[[nodiscard]] SettleResult SettleFetchedJournal(std::string_view journal_path, std::string_view received_uid_list,
                                                std::string_view spool_path);

}  // namespace lp
