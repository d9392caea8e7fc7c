#include "net/lan_mail.h"

#include <cstdint>

#include "codec/buffered_file_writer.h"
#include "net/compose_messages.h"
#include "net/message_parts.h"
#include "net/mime_writer.h"
#include "platform/file_system.h"
#include "platform/sjis_path.h"

namespace lp {
namespace {

// Entries exactly as typed, LAN and network alike, joined by ",".
void AddEntryLine(std::string& header, std::string_view prefix, const std::vector<std::string>& entries) {
  if (entries.empty()) return;
  header += prefix;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i > 0) header += ',';
    header += WithoutLineBreaks(entries[i]);
  }
  header += "\r\n";
}

std::string LanCopyHeader(const OutgoingMessage& message, const ComposeContext& context, std::string_view boundary) {
  std::string header = ReferenceLines(message.references);
  header += kMailerLines;
  header += DateAndIdLines(context.Now(), message.message_id);
  AddEntryLine(header, "To: ", message.to);
  AddEntryLine(header, "Cc: ", message.cc);
  // The sender is this user's own LAN directory, so that a reply can go there.
  const std::string name = WithoutLineBreaks(context.settings.user_name);
  const std::string directory = WithoutLineBreaks(context.settings.lan_directory);
  header += "From: ";
  if (name.empty()) {
    header += directory;
  } else {
    header += name + " <" + directory + ">";
  }
  header += "\r\nSubject: ";
  header += WithoutLineBreaks(message.subject);
  header += "\r\n";
  header += MessageContentTypeLine(boundary);
  header += "\r\n";
  return header;
}

void SetProgress(const ComposeContext& context, int position) {
  if (context.progress != nullptr) context.progress->SetPosition(position);
}

std::string SpoolPath(std::string_view directory) { return JoinPath(directory, "inbox.log"); }

void ReportUnwritable(std::string_view directory, const ComposeContext& context) {
  context.ui.ShowMessage(std::string(compose_text::kLanDestinationUnwritable) += directory);
}

}  // namespace

bool CanWriteLanMail(std::string_view directory, const ComposeContext& context) {
  // Nothing is created here: an empty spool left behind by a check would be
  // one more file for the recipient's program to deal with.
  const std::string path = SpoolPath(directory);
  File spool;
  if (PathExists(path) ? spool.Open(path, File::Mode::ReadWrite) : IsDirectory(directory)) return true;
  ReportUnwritable(directory, context);
  return false;
}

bool WriteLanMail(const OutgoingMessage& message, std::string_view directory, const ComposeContext& context) {
  if (context.progress != nullptr) context.progress->SetRange(0, 5);
  SetProgress(context, 0);
  std::string boundary;
  if (!message.attachment.empty()) boundary = context.new_boundary ? context.new_boundary() : MakeBoundary();
  const std::string header = LanCopyHeader(message, context, boundary);
  SetProgress(context, 1);

  BufferedFileWriter out;
  auto report = [&] { ReportUnwritable(directory, context); };
  if (!out.OpenAppend(SpoolPath(directory))) {
    report();
    return false;
  }
  const std::uint64_t start = out.Position();
  SetProgress(context, 2);

  out.Write(header);
  if (!boundary.empty()) out.Write(TextPartHeader(boundary));
  WritePlainLines(message.body, out);
  SetProgress(context, 3);
  bool whole = true;
  if (!boundary.empty()) {
    out.Write(AttachmentPartHeader(boundary, AttachmentHeaderName(message.attachment)));
    whole = WriteBase64Attachment(message.attachment, out, context.ui) != AttachmentWrite::ReadFailed;
    out.Write(ClosingDelimiter(boundary));
  }
  SetProgress(context, 4);
  out.Write(kMessageEnd);
  out.Flush();
  const bool failed = out.Failed();
  if (failed || !whole) {
    // A part of a copy would run into the next message appended to the
    // spool: cut it off. A short attachment was reported already.
    (void)out.file().Truncate(start);
    out.Close();
    if (failed) report();
    return false;
  }
  const bool closed = out.Close();
  SetProgress(context, 5);
  if (!closed) report();
  return closed;
}

}  // namespace lp
