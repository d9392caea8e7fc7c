#include "net/outgoing_message.h"

#include "codec/buffered_file_writer.h"
#include "net/address_field.h"
#include "net/compose_messages.h"
#include "net/lan_mail.h"
#include "net/message_parts.h"
#include "net/mime_writer.h"
#include "platform/file_system.h"

namespace lp {
namespace {

// "name<address>" with the name as a header word, or the address alone.
// An encoded name leaves out the blanks around it and is followed by a
// blank: an encoded word must stand apart from the "<" (RFC 2047), and the
// blanks would otherwise become part of the decoded name.
std::string MailboxText(std::string_view entry) {
  const std::string_view name = DisplayNamePart(entry);
  if (name.empty()) return std::string(AddressPart(entry));
  std::string_view trimmed = name;
  while (!trimmed.empty() && trimmed.front() == ' ') trimmed.remove_prefix(1);
  while (!trimmed.empty() && trimmed.back() == ' ') trimmed.remove_suffix(1);
  std::string text = HeaderWord(trimmed);
  // A name that stays as it is keeps its blanks as typed.
  text = text == trimmed ? std::string(name) : text + ' ';
  text += '<';
  text += AddressPart(entry);
  text += '>';
  return text;
}

struct RecipientField {
  std::string_view prefix;  // "To: " or "Cc: "
  const char* question;
  const char* limit_message;
};

// One To or Cc field: LAN destinations get their copies, the others go to
// the envelope and into one header line. False when the user declines.
bool AddRecipientField(OutgoingMessage& message, const std::vector<std::string>& entries, const RecipientField& field,
                       const ComposeContext& context, std::string& header) {
  if (context.settings.many_alert && entries.size() >= kManyRecipients &&
      context.ui.Ask(field.question, MessageButtons::OkCancel) == Answer::Cancel) {
    return false;
  }
  bool line_started = false;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i == kMaxHeaderRecipients) {
      context.ui.ShowMessage(field.limit_message);
      break;
    }
    const std::string entry = WithoutLineBreaks(entries[i]);
    if (IsLanDestination(entry)) {
      WriteLanMail(message, AddressPart(entry), context);
      continue;
    }
    message.recipients.emplace_back(AddressPart(entry));
    header += line_started ? std::string_view(",") : field.prefix;
    header += MailboxText(entry);
    line_started = true;
  }
  if (line_started) header += "\r\n";
  return true;
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
  // A fresh file rather than a truncated one: ext4 flushes a file that was
  // truncated and rewritten when it is closed, which would cost every mail
  // a disk write it does not need.
  (void)RemoveFile(work_file);
  File file;
  if (!file.Open(work_file, File::Mode::Write)) return false;
  BufferedFileWriter out;
  out.Adopt(std::move(file), 0);
  message.recipients.clear();
  message.boundary.clear();

  std::string header = ReferenceLines(message.references);
  header += kMailerLines;
  if (!AddRecipientField(message, message.to, {"To: ", compose_text::kManyToQuestion, compose_text::kToLimit}, context,
                         header) ||
      !AddRecipientField(message, message.cc, {"Cc: ", compose_text::kManyCcQuestion, compose_text::kCcLimit}, context,
                         header)) {
    return false;
  }
  // Bcc: envelope and LAN copies only, no header line and no limit.
  for (const std::string& raw : message.bcc) {
    const std::string entry = WithoutLineBreaks(raw);
    if (IsLanDestination(entry)) {
      WriteLanMail(message, AddressPart(entry), context);
    } else {
      message.recipients.emplace_back(AddressPart(entry));
    }
  }
  header += "From: ";
  header += MailboxText(WithoutLineBreaks(message.from));
  header += "\r\nSubject: ";
  header += HeaderWord(message.subject);
  header += "\r\n";
  if (!message.attachment.empty()) message.boundary = context.new_boundary ? context.new_boundary() : MakeBoundary();
  header += MessageContentTypeLine(message.boundary);
  // The blank line that ends the header and one more empty line.
  header += "\r\n\r\n";
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

}  // namespace lp
