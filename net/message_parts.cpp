#include "net/message_parts.h"

#include "codec/date_header.h"
#include "codec/encoded_words.h"
#include "codec/japanese_text.h"
#include "platform/sjis_path.h"

namespace lp {

std::string WithoutLineBreaks(std::string_view value) {
  // CR and LF are never trail bytes of Shift_JIS.
  std::string result;
  result.reserve(value.size());
  for (const char c : value) {
    if (c != '\r' && c != '\n') result += c;
  }
  return result;
}

std::string HeaderWord(std::string_view value) {
  std::string full;
  HalfKanaToFull(WithoutLineBreaks(value), full);
  return EncodeHeaderValue(full);
}

std::string ReferenceLines(std::string_view references) {
  const std::string refs = WithoutLineBreaks(references);
  if (refs.empty()) return {};
  std::string_view reply_to = refs;
  if (refs.find("> <") != std::string::npos) reply_to.remove_prefix(refs.find("> ") + 2);
  std::string lines = "In-Reply-To: ";
  lines += reply_to;
  lines += "\r\nReferences: ";
  lines += refs;
  lines += "\r\n";
  return lines;
}

std::string DateAndIdLines(std::time_t now, std::string_view message_id) {
  std::string lines = "Date: ";
  lines += FormatMailDate(now);
  lines += "\r\nMessage-ID: ";
  lines += WithoutLineBreaks(message_id);
  lines += "\r\n";
  return lines;
}

std::string MessageContentTypeLine(std::string_view boundary) {
  if (boundary.empty()) return "Content-Type: text/plain; charset=\"iso-2022-jp\"\r\n";
  std::string line = "Content-Type: multipart/mixed; boundary=\"";
  line += boundary;
  line += "\"\r\n";
  return line;
}

std::string TextPartHeader(std::string_view boundary) {
  std::string text = "\r\n--";
  text += boundary;
  text += "\r\nContent-Type: text/plain; charset=\"ISO-2022-JP\"\r\n\r\n";
  return text;
}

std::string AttachmentPartHeader(std::string_view boundary, std::string_view header_name) {
  std::string text = "\r\n--";
  text += boundary;
  text += "\r\nContent-Type: application/octet-stream; name=\"";
  text += header_name;
  text += "\"\r\nContent-Transfer-Encoding: base64\r\nContent-Disposition: attachment; filename=\"";
  text += header_name;
  text += "\"\r\n\r\n";
  return text;
}

std::string ClosingDelimiter(std::string_view boundary) {
  std::string text = "\r\n--";
  text += boundary;
  text += "--\r\n";
  return text;
}

std::string AttachmentHeaderName(std::string_view attachment_path) {
  return HeaderWord(FileNameOf(attachment_path));
}

}  // namespace lp
