#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "store/mail_import_source.h"

// Read or unread as other mail programs keep it: Maildir file-name flags,
// MH sequences and Sylpheed / Claws Mail mark files, and the mbox header
// fields "Status" and "X-Mozilla-Status".

namespace lp {

inline constexpr char kSylpheedMarkFile[] = ".sylpheed_mark";
inline constexpr char kClawsMarkFile[] = ".claws_mark";

// A Maildir file name's state: in "new" unread; in "cur" read when the
// flags after ":2," (or "!2," / ";2," where ":" cannot be used) hold "S".
[[nodiscard]] SourceReadState MaildirReadState(std::string_view file_name, bool in_new);

// The read states of an MH folder's messages by number.
class MhReadStates {
 public:
  // Unknown when the folder keeps no state.
  [[nodiscard]] SourceReadState StateOf(long long number) const;

  // Which messages are unread, from a mark file (the program's own view)
  // or the "unseen" sequence; messages a mark file does not list are new.
  std::unordered_map<long long, bool> unread;
  enum class Kind { None, Marks, Sequences } kind = Kind::None;
};

// Reads ".sylpheed_mark" or ".claws_mark" (whichever is readable, in that
// order), else ".mh_sequences".
[[nodiscard]] MhReadStates ReadMhReadStates(const std::string& native_directory);

// Parses the numbers of an ".mh_sequences" line's value ("1-3 7 9-10");
// ranges longer than `limit` numbers are cut there.
void AddSequenceNumbers(std::string_view value, std::unordered_map<long long, bool>& into, std::size_t limit);

// The state an mbox message's header gives: "X-Mozilla-Status" (hex flags,
// 0x0001 read) before "Status" ("R" read); Unknown when neither is there.
[[nodiscard]] SourceReadState HeaderReadState(std::optional<std::string_view> mozilla_status,
                                              std::optional<std::string_view> status);
// Thunderbird keeps deleted messages in the mbox until it compacts the
// folder: X-Mozilla-Status with 0x0008 (expunged).
[[nodiscard]] bool IsExpungedByMozilla(std::optional<std::string_view> mozilla_status);

}  // namespace lp
