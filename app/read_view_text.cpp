#include "app/read_view_text.h"

#include "codec/date_header.h"
#include "codec/japanese_text.h"

namespace lp {

MailText ReadViewText(CLPOSTDoc& box, int index, ShownForm form) {
  const CMail* mail = box.RecordAt(index);
  if (mail == nullptr) return {};
  if (!mail->IsOutgoing()) {
    return form == ShownForm::Readable ? box.ReadableText(index, HeaderMode::FromSetting, 0)
                                       : box.DisplayText(index, HeaderMode::FromSetting, 0);
  }
  // Copied first: reading the text may not change the record, but the
  // fields are needed after the call either way.
  const CMail fields = *mail;
  MailText read = box.DisplayText(index, HeaderMode::All, 0);
  if (!read.ok()) return read;
  std::string text = "To: " + fields.to + "\r\n" + "From: " + fields.from + "\r\n" + "Subject: " + fields.subject + "\r\n";
  if (!fields.cc.empty()) text += "Cc: " + fields.cc + "\r\n";
  if (!fields.bcc.empty()) text += "Bcc: " + fields.bcc + "\r\n";
  text += "Date: " + FormatReadViewDate(fields.date) + "\r\n\r\n";
  text += read.text;
  read.text = std::move(text);
  return read;
}

std::string ReadViewTitle(const CMail& mail) { return mail.subject + " by " + mail.from; }

std::vector<std::string> AttachmentPaths(std::string_view list) {
  std::vector<std::string> paths;
  while (!list.empty()) {
    const std::size_t end = list.find('\n');
    std::string_view path = list.substr(0, end);
    if (!path.empty() && path.back() == '\r') path.remove_suffix(1);
    if (!path.empty()) paths.emplace_back(path);
    if (end == std::string_view::npos) break;
    list.remove_prefix(end + 1);
  }
  return paths;
}

std::string RedecodeLines(std::string_view text) {
  std::string result;
  result.reserve(text.size() + 2);
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    result += ConvertToSjis(line);
    result += "\r\n";
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return result;
}

}  // namespace lp
