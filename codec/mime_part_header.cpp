#include "codec/mime_part_header.h"

#include <algorithm>

#include "codec/ascii_case.h"
#include "codec/mime_parameters.h"

namespace lp {

void HeaderFieldCollector::AddLine(std::string_view line) {
  if (line.empty()) return;
  if (IsHeaderContinuation(line)) {
    if (!collecting_ || fields_.empty()) return;
    AppendUnfolded(fields_.back().value, line, kMaxValueBytes);
    return;
  }
  const std::string_view name = line.substr(0, line.find(':'));
  collecting_ = std::any_of(wanted_.begin(), wanted_.end(),
                            [&](std::string_view wanted) { return EqualsIgnoringAsciiCase(name, wanted); });
  if (!collecting_) return;
  // A third field of a name replaces the second: the first and the latest stay.
  const auto same_name = [&](const HeaderField& field) { return EqualsIgnoringAsciiCase(field.name, name); };
  if (std::count_if(fields_.begin(), fields_.end(), same_name) >= 2) {
    fields_.erase(std::find_if(fields_.rbegin(), fields_.rend(), same_name).base() - 1);
  }
  std::string_view value = line.substr(name.size() + 1);
  fields_.push_back({std::string(name), std::string(value.substr(0, kMaxValueBytes))});
}

void HeaderFieldCollector::Clear() {
  fields_.clear();
  collecting_ = false;
}

std::optional<std::string_view> HeaderFieldCollector::Last(std::string_view name) const {
  for (auto field = fields_.rbegin(); field != fields_.rend(); ++field) {
    if (EqualsIgnoringAsciiCase(field->name, name)) return std::string_view(field->value);
  }
  return std::nullopt;
}

TransferEncoding ClassifyTransferEncoding(std::string_view value) {
  if (FindIgnoringAsciiCase(value, "base64") != std::string_view::npos) return TransferEncoding::Base64;
  if (FindIgnoringAsciiCase(value, "quoted-printable") != std::string_view::npos) {
    return TransferEncoding::QuotedPrintable;
  }
  if (FindIgnoringAsciiCase(value, "x-uuencode") != std::string_view::npos) return TransferEncoding::Uuencode;
  return TransferEncoding::None;
}

TextCharset ClassifyCharset(std::string_view content_type) {
  std::string charset = ExtractParameter(content_type, "charset");
  const std::size_t end = charset.find_first_of(" \t");
  if (end != std::string::npos) charset.resize(end);
  if (EqualsIgnoringAsciiCase(charset, "unicode-1-1-utf-7") || EqualsIgnoringAsciiCase(charset, "utf-7")) {
    return TextCharset::Utf7;
  }
  if (EqualsIgnoringAsciiCase(charset, "utf-8") || EqualsIgnoringAsciiCase(charset, "utf8")) {
    return TextCharset::Utf8;
  }
  const std::string key = AsciiLowered(charset);
  if (key == "euc-jp" || key == "x-euc-jp" || key == "eucjp") return TextCharset::EucJp;
  if (key.starts_with("iso-2022-jp") || key == "csiso2022jp") return TextCharset::Jis;
  return TextCharset::Other;
}

std::vector<std::string_view> PartHeaderFieldNames() {
  return {"Content-Type", "Content-Transfer-Encoding", "Content-Disposition", "Content-ID"};
}

namespace {

// Types whose content is read as text: the default text/plain, text,
// messages and multipart containers (their preamble).
bool IsTextType(std::string_view media_type) {
  return media_type.empty() || media_type.starts_with("text/") || media_type.starts_with("message/") ||
         media_type.starts_with("multipart/");
}

void TakeName(PartDescription& part, std::optional<std::string> name) {
  if (!name) return;
  part.is_attachment = true;
  // The first field that gives a name wins; an empty name only stands
  // until a later field gives a real one.
  if (!part.file_name || part.file_name->empty()) part.file_name = std::move(name);
}

}  // namespace

PartDescription DescribePart(const std::vector<HeaderField>& fields) {
  PartDescription part;
  for (const HeaderField& field : fields) {
    if (EqualsIgnoringAsciiCase(field.name, "Content-Type")) {
      part.media_type = MediaTypeOf(field.value);
      part.charset = ClassifyCharset(field.value);
      part.boundary.clear();
      if (part.media_type.starts_with("multipart/")) {
        std::string boundary = ExtractBoundary(field.value);
        if (boundary.size() > 2) part.boundary = std::move(boundary);
      }
      TakeName(part, FileNameParameter(field.value, "name", false));
    } else if (EqualsIgnoringAsciiCase(field.name, "Content-Disposition")) {
      if (StartsWithIgnoringAsciiCase(WithoutLeadingBlanks(field.value), "attachment")) part.is_attachment = true;
      // A plain filename must be quoted, as received mail has always been read.
      TakeName(part, FileNameParameter(field.value, "filename", true));
    } else if (EqualsIgnoringAsciiCase(field.name, "Content-Transfer-Encoding")) {
      part.encoding = ClassifyTransferEncoding(field.value);
    } else if (EqualsIgnoringAsciiCase(field.name, "Content-ID")) {
      const std::size_t open = field.value.find('<');
      const std::size_t close = open == std::string::npos ? open : field.value.find('>', open + 1);
      if (close != std::string::npos) part.content_id = field.value.substr(open + 1, close - open - 1);
    }
  }
  part.text_type = IsTextType(part.media_type);
  if (!part.boundary.empty()) {
    // A container is never an attachment itself.
    part.is_attachment = false;
    part.file_name.reset();
  } else if (!part.text_type) {
    part.is_attachment = true;
  }
  return part;
}

}  // namespace lp
