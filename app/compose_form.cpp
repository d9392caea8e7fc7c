#include "app/compose_form.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "codec/ascii_case.h"
#include "codec/encoded_words.h"
#include "codec/header_lookup.h"
#include "codec/japanese_text.h"
#include "config/account.h"
#include "config/config_messages.h"
#include "net/address_field.h"
#include "rules/quote_text.h"
#include "store/mail_status.h"

namespace lp {
namespace {

constexpr char kSectionSystem[] = "System";

std::vector<std::string> AddressEntries(std::string_view field) {
  std::vector<std::string> entries;
  SplitAddressField(field, entries, {});
  return entries;
}

bool AccountAddressIn(const CSetMenu& account, const std::vector<std::string>& entries) {
  if (account.adr.empty()) return false;
  for (const std::string& entry : entries) {
    if (EqualsIgnoringAsciiCase(BareAddress(entry), account.adr)) return true;
  }
  return false;
}

// The text of a mail as the mail list shows it, quoted with the reply mark.
std::optional<std::string> QuotedText(CLPOSTDoc& box, int index, const ComposeWindowSettings& settings) {
  MailText read = box.DisplayText(index, HeaderMode::FromSetting, 0);
  if (!read.ok()) {
    box.ui().ShowMessage(read.error);
    return std::nullopt;
  }
  return QuoteText(read.text, settings.reply_mark);
}

// The Reply-To header of a received mail as a record field: decoded into
// Shift_JIS, without the blanks a fold leaves.
std::string ReplyToField(CLPOSTDoc& box, int index) {
  const CMail* mail = box.RecordAt(index);
  if (mail == nullptr || (mail->flags & kFlagHasReplyTo) == 0) return {};
  std::string value = ConvertToSjis(HeaderValue(box, index, "Reply-To"));
  if (value.find("=?") != std::string::npos) value = DecodeEncodedWords(value);
  for (char& c : value) {
    if (c == '\t') c = ' ';
  }
  const std::size_t first = value.find_first_not_of(' ');
  const std::size_t last = value.find_last_not_of(' ');
  return first == std::string::npos ? std::string() : value.substr(first, last - first + 1);
}

// The Cc of a reply to everyone: the mail's To and Cc entries, each address
// once, without the replier's own address and the reply's recipients.
std::string CcForEveryone(const CMail& mail, const CSetMenu& account, std::string_view reply_to) {
  std::vector<std::string> seen;
  for (const std::string& entry : AddressEntries(reply_to)) seen.push_back(AsciiLowered(BareAddress(entry)));
  if (!account.adr.empty()) seen.push_back(AsciiLowered(account.adr));
  std::string cc;
  for (const std::string* field : {&mail.to, &mail.cc}) {
    for (const std::string& entry : AddressEntries(*field)) {
      const std::string address = AsciiLowered(BareAddress(entry));
      if (address.empty() || std::find(seen.begin(), seen.end(), address) != seen.end()) continue;
      seen.push_back(address);
      std::string_view shown = entry;
      while (!shown.empty() && (shown.front() == ' ' || shown.front() == '\t')) shown.remove_prefix(1);
      if (!cc.empty()) cc += ", ";
      cc += shown;
    }
  }
  return cc;
}

}  // namespace

ComposeWindowSettings LoadComposeWindowSettings(const Profile& profile) {
  ComposeWindowSettings settings;
  settings.quote_in_replies = profile.GetInt(kSectionSystem, "ReplyAll", 1) == 1;
  settings.reply_mark = profile.GetString(kSectionSystem, "ReplyMark", ">");
  settings.list_tag = profile.GetInt(kSectionSystem, "bResTitleML", 1) == 1 ? ListTag::Drop : ListTag::Keep;
  settings.draft_box_in_use = profile.GetInt(kSectionSystem, "Draft", 1) != 0;
  settings.send_box = profile.GetString(kSectionSystem, "SendFile", kDefaultSendBoxFile);
  settings.draft_box = profile.GetString(kSectionSystem, "DraftFile", kDefaultDraftBoxFile);
  return settings;
}

ComposeForm NewMailForm(const CSetMenu& account) {
  ComposeForm form;
  form.from = SenderText(account);
  form.signature = account.signe;
  return form;
}

ComposeForm MailtoForm(const MailtoPreset& preset, const CSetMenu& account) {
  ComposeForm form = NewMailForm(account);
  form.to = preset.to;
  form.cc = preset.cc;
  form.subject = preset.subject;
  form.body = preset.body;
  return form;
}

std::size_t ReplyAccountIndex(const CSetMenuArray& accounts, std::string_view to_field) {
  const std::vector<std::string> entries = AddressEntries(to_field);
  if (AccountAddressIn(accounts.Current(), entries)) return accounts.CurrentIndex();
  for (std::size_t i = 0; i < accounts.Count(); ++i) {
    if (AccountAddressIn(accounts.At(i), entries)) return i;
  }
  return accounts.CurrentIndex();
}

std::optional<ComposeForm> ReplyForm(CLPOSTDoc& box, int index, const CSetMenu& account,
                                     const ComposeWindowSettings& settings, ReplyRecipients recipients) {
  const CMail* mail = box.RecordAt(index);
  if (mail == nullptr) return std::nullopt;
  ComposeForm form = NewMailForm(account);
  // The text is read first: a mail that cannot be read fails with one message.
  if (settings.quote_in_replies) {
    std::optional<std::string> quoted = QuotedText(box, index, settings);
    if (!quoted) return std::nullopt;
    form.body = std::move(*quoted);
  }
  form.to = ReplyToField(box, index);
  if (form.to.empty()) form.to = mail->from;
  form.subject = MakeReplySubject(mail->subject, settings.list_tag);
  form.cc = recipients == ReplyRecipients::All ? CcForEveryone(*mail, account, form.to) : mail->cc;
  form.references = ReplyReferences(box, index);
  return form;
}

std::optional<ComposeForm> ForwardForm(CLPOSTDoc& box, int index, const CSetMenu& account,
                                       const ComposeWindowSettings& settings) {
  const CMail* mail = box.RecordAt(index);
  if (mail == nullptr) return std::nullopt;
  ComposeForm form = NewMailForm(account);
  form.subject = mail->subject;
  std::optional<std::string> quoted = QuotedText(box, index, settings);
  if (!quoted) return std::nullopt;
  form.body = std::move(*quoted);
  return form;
}

std::optional<ComposeForm> EditForm(CLPOSTDoc& box, int index) {
  const CMail* mail = box.RecordAt(index);
  if (mail == nullptr) return std::nullopt;
  MailText read = box.ReadText(mail->text_start, mail->text_end);
  if (!read.ok()) {
    box.ui().ShowMessage(read.error);
    return std::nullopt;
  }
  ComposeForm form;
  form.to = mail->to;
  form.from = mail->from;
  form.subject = mail->subject;
  form.cc = mail->cc;
  form.bcc = mail->bcc;
  form.attach = mail->attachments;
  form.signature = mail->signature;
  form.references = mail->message_id;
  form.body = std::move(read.text);
  return form;
}

std::string BodyAboveQuote(std::string_view text, std::string_view quoted) {
  std::string body(text);
  if (!body.empty() && !quoted.empty() && !body.ends_with("\r\n")) body += "\r\n";
  body += quoted;
  return body;
}

void MarkReplied(CLPOSTDoc& box, int index) {
  const CMail* mail = box.RecordAt(index);
  if (mail == nullptr || mail->IsOutgoing() || mail->status == kStatusReplied) return;
  const std::array<int, 1> selection = {index};
  SetStatus(box, selection, kStatusReplied);
}

}  // namespace lp
