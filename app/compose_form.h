#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "app/reply_subject.h"
#include "app/startup_request.h"
#include "config/account_table.h"
#include "config/profile.h"
#include "store/mailbox_document.h"

// The compose form as each way of opening it fills it: a new mail, a reply
// (to the sender, or to everyone the mail went to), a forward, a mail preset
// by a "mailto:" request, and a stored outgoing mail edited again. The
// compose window shows the form; the command line fills it the same way.
// All texts are Shift_JIS; bodies have CR LF line ends.

namespace lp {

struct ComposeForm {
  std::string to;
  std::string from;
  std::string subject;
  std::string cc;
  std::string bcc;
  std::string attach;  // attachment paths as the record keeps them
  int signature = 0;   // 0 none, n the n-th signature
  std::string body;
  // A reply's reference chain: it goes into the record's Message-Id field,
  // from which the sent message gets In-Reply-To and References.
  std::string references;

  bool operator==(const ComposeForm&) const = default;
};

// The settings of [System] that composing reads.
struct ComposeWindowSettings {
  bool quote_in_replies = true;  // ReplyAll: a reply's body quotes the mail
  std::string reply_mark = ">";  // ReplyMark
  ListTag list_tag = ListTag::Drop;  // bResTitleML
  bool draft_box_in_use = true;  // Draft
  std::string send_box;          // SendFile
  std::string draft_box;         // DraftFile
};
[[nodiscard]] ComposeWindowSettings LoadComposeWindowSettings(const Profile& profile);

enum class ReplyRecipients {
  Sender,  // To: the Reply-To or From; Cc: the mail's Cc
  All,     // the same, and the mail's To joins the Cc (without the replier)
};

// A new mail from `account`: its sender text and signature.
[[nodiscard]] ComposeForm NewMailForm(const CSetMenu& account);

// A new mail preset by a "mailto:" request.
[[nodiscard]] ComposeForm MailtoForm(const MailtoPreset& preset, const CSetMenu& account);

// The account a reply to a mail with this To field is sent from: the one
// whose address is one of the field's addresses (ASCII case ignored), the
// current account first; the current account when none is.
[[nodiscard]] std::size_t ReplyAccountIndex(const CSetMenuArray& accounts, std::string_view to_field);

// The reply to record `index` of `box`, sent from `account`: To the mail's
// Reply-To header or else its From, the reply subject, the mail's Cc (and
// with ReplyRecipients::All its other recipients), the reference chain, the
// account's signature, and the mail's text quoted when the settings say so.
// nullopt when the text cannot be read (the reason is shown through the
// box's user interface) or the index names no mail.
[[nodiscard]] std::optional<ComposeForm> ReplyForm(CLPOSTDoc& box, int index, const CSetMenu& account,
                                                   const ComposeWindowSettings& settings, ReplyRecipients recipients);

// The forward of record `index`: the subject unchanged and the mail's text
// quoted, from `account`; no recipient yet. nullopt as for ReplyForm.
[[nodiscard]] std::optional<ComposeForm> ForwardForm(CLPOSTDoc& box, int index, const CSetMenu& account,
                                                     const ComposeWindowSettings& settings);

// A stored mail opened again: its fields and its stored text. nullopt as
// for ReplyForm.
[[nodiscard]] std::optional<ComposeForm> EditForm(CLPOSTDoc& box, int index);

// `text` (CR LF line ends) written above the quoted mail, with a line
// break between the two when `text` does not end in one (none when
// nothing is quoted).
[[nodiscard]] std::string BodyAboveQuote(std::string_view text, std::string_view quoted);

// Marks a replied mail: a received mail gets status 2 (replied). An
// outgoing mail keeps its status, so that replying to an unsent mail never
// takes it out of the send queue.
void MarkReplied(CLPOSTDoc& box, int index);

}  // namespace lp
