#include "util/text_export.h"

#include "codec/date_header.h"
#include "platform/job_progress.h"
#include "store/box_list.h"
#include "store/display_text.h"
#include "store/text_block_reader.h"
#include "util/util_messages.h"

namespace lp {
namespace {

constexpr char kMailEnd[] = "\r\n.\r\n";

std::string OutgoingHeaderBlock(const CMail& mail) {
  std::string block = "To: " + mail.to + "\r\nFrom: " + mail.from + "\r\nSubject: " + mail.subject +
                      "\r\nDate: " + FormatExportDate(mail.date);
  if (!mail.cc.empty()) block += "\r\nCc: " + mail.cc;
  if (!mail.bcc.empty()) block += "\r\nBcc: " + mail.bcc;
  return block;
}

// Writes one mail; false (with the message) when its text cannot be read
// or the file cannot be written.
bool WriteMail(const CMail& mail, TextBlockReader& texts, ExportHeaders headers, BufferedFileWriter& out,
               ExportResult& result) {
  std::string_view stored;
  MailText read = texts.Read(mail.text_start, mail.text_end, &stored);
  if (!read.ok()) {
    result.outcome = ExportOutcome::Failed;
    result.message = std::move(read.error);
    return false;
  }
  if (headers == ExportHeaders::Stored && !mail.IsOutgoing()) {
    out.Write(stored);
    out.Write(kMailEnd);
  } else {
    out.Write(MailExportText(mail, stored, headers));
  }
  if (out.Failed()) {
    result.outcome = ExportOutcome::Failed;
    result.message = std::string(util_messages::kOutputFileOpenFailed) + ":" + out.ErrorText();
    return false;
  }
  ++result.mails;
  return true;
}

ExportHeaders HeadersOf(const CTextOutSet& setting) {
  return setting.all_headers ? ExportHeaders::All : ExportHeaders::Short;
}

ExportResult Finish(ExportResult result, BufferedFileWriter& out) {
  if (!out.Flush() && result.outcome != ExportOutcome::Failed) {
    result.outcome = ExportOutcome::Failed;
    result.message = std::string(util_messages::kOutputFileOpenFailed) + ":" + out.ErrorText();
  }
  return result;
}

bool OpenTexts(TextBlockReader& texts, std::string_view text_path, ExportResult& result) {
  if (texts.Open(text_path)) return true;
  result.outcome = ExportOutcome::Failed;
  result.message = std::string(util_messages::kOutputFileOpenFailed) + ":" + std::string(text_path);
  return false;
}

}  // namespace

std::string MailExportText(const CMail& mail, std::string_view stored_text, ExportHeaders headers) {
  std::string text;
  if (mail.IsOutgoing()) {
    text = OutgoingHeaderBlock(mail) + "\r\n\r\n";
    text += stored_text;
  } else if (headers == ExportHeaders::Stored) {
    text = stored_text;
  } else {
    // The short header is the reading views' usual one, whatever the
    // "Mail"/"Header" setting says.
    text = BuildDisplayText(stored_text, headers == ExportHeaders::All ? HeaderMode::All : HeaderMode::FromSetting,
                            0, 0);
  }
  text += kMailEnd;
  return text;
}

ExportResult ExportBoxMails(CLPOSTDoc& box, const CTextOutSet& setting, BufferedFileWriter& out) {
  ExportResult result;
  TextBlockReader texts;
  if (!OpenTexts(texts, box.TextFilePath(), result)) return result;
  for (int i = 0; i < box.Count(); ++i) {
    const CMail& mail = *box.RecordAt(i);
    if (setting.Passes(mail) && !WriteMail(mail, texts, HeadersOf(setting), out, result)) break;
  }
  return Finish(std::move(result), out);
}

ExportResult ExportSelectedMails(CLPOSTDoc& box, std::span<const int> indexes, BufferedFileWriter& out) {
  ExportResult result;
  TextBlockReader texts;
  if (!OpenTexts(texts, box.TextFilePath(), result)) return result;
  for (const int index : indexes) {
    const CMail* mail = box.RecordAt(index);
    if (mail != nullptr && !WriteMail(*mail, texts, ExportHeaders::Stored, out, result)) break;
  }
  return Finish(std::move(result), out);
}

ExportResult ExportAllBoxes(const BoxWalkSources& boxes, std::string_view trash_path, const CTextOutSet& setting,
                            BufferedFileWriter& out, SkippableProgress* progress) {
  ExportResult result;
  OptionalProgress shown(progress);
  shown.SetStatusText(util_messages::kExportProgressText);
  const auto wanted = [trash_path](const std::string& path) { return path != trash_path; };
  const WalkResult walk = WalkBoxes(boxes, 0, progress, wanted, [&](const WalkedBox& box) {
    TextBlockReader texts;
    if (!OpenTexts(texts, box.text_path, result)) return false;
    shown.SetRange(0, static_cast<int>(box.records.size()));
    for (std::size_t i = 0; i < box.records.size(); ++i) {
      shown.SetPosition(static_cast<int>(i));
      if (shown.CancelRequested()) {
        result.outcome = ExportOutcome::Cancelled;
        return false;
      }
      if (progress != nullptr && progress->SkipRequested()) break;
      const CMail& mail = *box.records[i];
      if (setting.Passes(mail) && !WriteMail(mail, texts, HeadersOf(setting), out, result)) return false;
    }
    return true;
  });
  if (walk.end == WalkEnd::Cancelled) result.outcome = ExportOutcome::Cancelled;
  return Finish(std::move(result), out);
}

}  // namespace lp
