#include "net/outgoing_message.h"

#include "codec/buffered_file_writer.h"
#include "net/address_field.h"
#include "net/compose_messages.h"
#include "net/lan_mail.h"
#include "net/message_id.h"
#include "net/message_parts.h"
#include "net/mime_writer.h"
#include "platform/file_system.h"

namespace lp {
namespace {

// "name <address>" with the name as a header word, or the address alone.
// An encoded name leaves out the blanks around it and is followed by a
// blank: an encoded word must stand apart from the "<" (RFC 2047), and the
// blanks would otherwise become part of the decoded name. A plain name
// before "<" stays as typed; one from "address (name)" gets the blank that
// separates it from the "<".
std::string MailboxText(std::string_view entry) {
  const std::string_view name = DisplayNamePart(entry);
  const std::string_view address = BareAddress(entry);
  if (name.empty()) return std::string(address);
  std::string_view trimmed = name;
  while (!trimmed.empty() && trimmed.front() == ' ') trimmed.remove_prefix(1);
  while (!trimmed.empty() && trimmed.back() == ' ') trimmed.remove_suffix(1);
  std::string text = HeaderWord(trimmed);
  if (text != trimmed) {
    text += ' ';
  } else if (entry.find('<') != std::string_view::npos) {
    text = std::string(name);
  } else {
    text += ' ';
  }
  text += '<';
  text += address;
  text += '>';
  return text;
}

struct RecipientField {
  std::string_view prefix;  // "To: " or "Cc: "
  const char* question;
  const char* limit_message;
};

// The many-recipients question of one field; false when the user declines.
bool Confirmed(const std::vector<std::string>& entries, const RecipientField& field, const ComposeContext& context) {
  return !context.settings.many_alert || entries.size() < kManyRecipients ||
         context.ui.Ask(field.question, MessageButtons::OkCancel) != Answer::Cancel;
}

// One To or Cc field: LAN destinations are collected for their copies, the
// others go to the envelope and into one header line.
void AddRecipientField(OutgoingMessage& message, const std::vector<std::string>& entries,
                       const RecipientField& field, const ComposeContext& context, std::string& header,
                       std::vector<std::string>& lan_directories) {
  bool line_started = false;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i == kMaxHeaderRecipients) {
      context.ui.ShowMessage(field.limit_message);
      break;
    }
    const std::string entry = WithoutLineBreaks(entries[i]);
    if (IsLanDestination(entry)) {
      lan_directories.emplace_back(AddressPart(entry));
      continue;
    }
    message.recipients.emplace_back(BareAddress(entry));
    header += line_started ? std::string_view(",") : field.prefix;
    header += MailboxText(entry);
    line_started = true;
  }
  if (line_started) header += "\r\n";
}

// The header and body of the SMTP message into `work_file`.
bool WriteWorkFile(const OutgoingMessage& message, const std::string& header, const ComposeContext& context,
                   std::string_view work_file) {
  // A fresh file rather than a truncated one: ext4 flushes a file that was
  // truncated and rewritten when it is closed, which would cost every mail
  // a disk write it does not need.
  (void)RemoveFile(work_file);
  File file;
  if (!file.Open(work_file, File::Mode::Write)) return false;
  BufferedFileWriter out;
  out.Adopt(std::move(file), 0);
  WriteConvertedLines(header, DotStuffing::Off, out);

  if (!message.boundary.empty()) WriteConvertedLines(TextPartHeader(message.boundary), DotStuffing::Off, out);
  WriteConvertedLines(message.body, DotStuffing::On, out);

  if (!message.boundary.empty()) {
    WriteConvertedLines(AttachmentPartHeader(message.boundary, AttachmentHeaderName(message.attachment)),
                        DotStuffing::Off, out);
    // A file that cannot be opened leaves an empty part and the mail goes;
    // one that fails part way would go out cut short, so the mail stays.
    if (WriteBase64Attachment(message.attachment, out, context.ui) == AttachmentWrite::ReadFailed) return false;
    WriteConvertedLines(ClosingDelimiter(message.boundary), DotStuffing::Off, out);
  }
  WriteConvertedLines(kMessageEnd, DotStuffing::Off, out);
  const bool written = !out.Failed();
  return out.Close() && written;
}

}  // namespace

ComposeSettings ReadComposeSettings(const Profile& profile, std::string user_name) {
  ComposeSettings settings;
  settings.many_alert = profile.GetInt("System", "ManyAlert", 0) != 0;
  settings.user_name = std::move(user_name);
  settings.lan_directory = profile.GetString("Lan", "Dir");
  return settings;
}

bool BuildOutgoingMessage(OutgoingMessage& message, const ComposeContext& context, std::string_view work_file) {
  message.recipients.clear();
  message.boundary.clear();
  message.lan_failures.clear();
  const RecipientField to_field{"To: ", compose_text::kManyToQuestion, compose_text::kToLimit};
  const RecipientField cc_field{"Cc: ", compose_text::kManyCcQuestion, compose_text::kCcLimit};
  // Both questions come before anything is written: a "no" leaves nobody
  // with a copy.
  if (!Confirmed(message.to, to_field, context) || !Confirmed(message.cc, cc_field, context)) return false;

  const std::string from = WithoutLineBreaks(message.from);
  if (message.message_id.empty()) {
    message.message_id =
        context.new_message_id ? context.new_message_id(BareAddress(from)) : NewMessageId(BareAddress(from));
  }
  std::string header = ReferenceLines(message.references);
  header += kMailerLines;
  header += DateAndIdLines(context.Now(), message.message_id);
  std::vector<std::string> lan_directories;
  AddRecipientField(message, message.to, to_field, context, header, lan_directories);
  AddRecipientField(message, message.cc, cc_field, context, header, lan_directories);
  // Bcc: envelope and LAN copies only, no header line and no limit.
  for (const std::string& raw : message.bcc) {
    const std::string entry = WithoutLineBreaks(raw);
    if (IsLanDestination(entry)) {
      lan_directories.emplace_back(AddressPart(entry));
    } else {
      message.recipients.emplace_back(BareAddress(entry));
    }
  }
  header += "From: ";
  header += MailboxText(from);
  header += "\r\nSubject: ";
  header += HeaderWord(message.subject);
  header += "\r\n";
  if (!message.attachment.empty()) message.boundary = context.new_boundary ? context.new_boundary() : MakeBoundary();
  header += MessageContentTypeLine(message.boundary);
  // The empty line that ends the header: the body follows as written.
  header += "\r\n";

  // Every LAN spool must open before anyone gets the mail: a wrong
  // directory then leaves the mail unsent for all, to be sent again whole.
  for (const std::string& directory : lan_directories) {
    if (!CanWriteLanMail(directory, context)) return false;
  }
  if (!WriteWorkFile(message, header, context, work_file)) return false;
  for (const std::string& directory : lan_directories) {
    if (!WriteLanMail(message, directory, context)) message.lan_failures.push_back(directory);
  }
  return true;
}

}  // namespace lp
