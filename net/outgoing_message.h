#pragma once

#include <cstddef>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "config/profile.h"
#include "platform/user_interface.h"

// One outgoing mail turned into the bytes that go on the wire: the
// RFC 822/MIME message in ISO-2022-JP, dot-stuffed and ended by ".", ready
// for the DATA phase, written to the work file "smail.$$$"; the envelope
// recipients; and a plain copy for every LAN directory among the
// recipients (lan_mail.h). All texts are Shift_JIS.

namespace lp {

inline constexpr char kSmtpWorkFile[] = "smail.$$$";

// At most this many To (and Cc) entries are used; the rest are dropped
// with a message.
inline constexpr std::size_t kMaxHeaderRecipients = 100;
// From this many To (or Cc) entries on, "ManyAlert" asks first.
inline constexpr std::size_t kManyRecipients = 10;

// The mail being sent, filled by the send pipeline before the build.
struct OutgoingMessage {
  std::string from;     // the mail's From field
  std::string subject;  // the mail's Subject field
  std::string body;     // the mail text with the signature appended
  std::vector<std::string> to;   // entries from SplitAddressField
  std::vector<std::string> cc;
  std::vector<std::string> bcc;
  std::string attachment;  // path of one file; empty: none
  std::string references;  // the mail's Message-Id field (a reply's reference chain)
  // The mail's own Message-ID; BuildOutgoingMessage makes one when empty.
  std::string message_id;

  // Set by BuildOutgoingMessage.
  std::vector<std::string> recipients;  // bare addresses for RCPT TO
  std::string boundary;                 // of the multipart message; empty for text/plain
  // LAN directories whose copy broke off while it was written (reported).
  std::vector<std::string> lan_failures;
};

// Settings and account values the build needs.
struct ComposeSettings {
  bool many_alert = false;    // [System] ManyAlert: ask before 10 or more To/Cc entries
  std::string user_name;      // the current account's Name (From of a LAN copy)
  std::string lan_directory;  // [Lan] Dir: this user's own LAN directory
};

// ManyAlert and the LAN directory from the settings file, with the
// current account's name.
[[nodiscard]] ComposeSettings ReadComposeSettings(const Profile& profile, std::string user_name);

struct ComposeContext {
  ComposeContext(UserInterface& user_interface, ComposeSettings compose_settings)
      : ui(user_interface), settings(std::move(compose_settings)) {}

  UserInterface& ui;
  ComposeSettings settings;
  // The send status dialog's progress bar (0 to 5 while a LAN copy is written); may be null.
  Progress* progress = nullptr;
  // The time the Date lines show; empty: the system clock.
  std::function<std::time_t()> clock;
  // A new multipart boundary; empty: MakeBoundary().
  std::function<std::string()> new_boundary;
  // A new Message-ID for a mail from an address; empty: NewMessageId().
  std::function<std::string(std::string_view address)> new_message_id;

  [[nodiscard]] std::time_t Now() const { return clock ? clock() : std::time(nullptr); }
};

// Writes the message to `work_file` (created or truncated), rebuilds
// `message.recipients`, then writes a LAN copy for every LAN destination of
// To, Cc and Bcc. False, with nobody given the mail, when the user declines
// a many-recipients question, when a LAN destination's spool cannot be
// opened (reported), when the work file cannot be created or written, or
// when the attachment could be read only in part. A LAN copy that breaks
// off after that is reported and listed in `message.lan_failures`; the
// mail has reached others by then and goes on to the rest.
[[nodiscard]] bool BuildOutgoingMessage(OutgoingMessage& message, const ComposeContext& context,
                                        std::string_view work_file = kSmtpWorkFile);

}  // namespace lp
