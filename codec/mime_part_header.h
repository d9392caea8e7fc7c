#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codec/header_unfolding.h"

// Header fields of a received message or of one of its MIME parts, taken
// line by line as the spool holds them, and what they say about the body.

namespace lp {

struct HeaderField {
  std::string name;   // as written, without the ":"
  std::string value;  // raw text after the ":", continuation lines unfolded
};

// Collects the fields whose names are asked for (ASCII case ignored). A
// line that begins with a blank or TAB, or that has no ":", continues the
// field before it and is unfolded into its value. Of each name the first
// and the latest field are kept, in the order they came: a field repeated
// any number of times costs no more memory than two, and no repetition
// pushes out a field of another name. A value keeps its first
// kMaxValueBytes.
class HeaderFieldCollector {
 public:
  static constexpr std::size_t kMaxValueBytes = 16 * 1024;

  explicit HeaderFieldCollector(std::vector<std::string_view> wanted_names)
      : wanted_(std::move(wanted_names)) {}

  void AddLine(std::string_view line);
  void Clear();
  [[nodiscard]] const std::vector<HeaderField>& fields() const { return fields_; }
  // The value of the latest field of that name, or nullopt.
  [[nodiscard]] std::optional<std::string_view> Last(std::string_view name) const;

 private:
  std::vector<std::string_view> wanted_;
  std::vector<HeaderField> fields_;
  bool collecting_ = false;  // the last field began with a kept line
};

enum class TransferEncoding { None, Base64, QuotedPrintable, Uuencode };
// The charsets the text layer converts by name. EUC-JP is worth naming:
// a short EUC-JP line is often indistinguishable from Shift_JIS by its bytes.
enum class TextCharset { Other, Utf8, Utf7, EucJp, Jis };

// "base64", "quoted-printable" or "x-uuencode" in a Content-Transfer-Encoding
// value, without regard to case.
[[nodiscard]] TransferEncoding ClassifyTransferEncoding(std::string_view value);
// The charset parameter of a Content-Type value: UTF-8, UTF-7 (both its
// names), EUC-JP or ISO-2022-JP; anything else is left to the line-level
// code detection.
[[nodiscard]] TextCharset ClassifyCharset(std::string_view content_type);

struct PartDescription {
  std::string media_type;  // lower case; empty when no Content-Type names one
  // Read as text: no type (text/plain by default), text/*, message/* or a
  // multipart container.
  bool text_type = true;
  std::string boundary;    // "--" + boundary of a multipart type, else empty
  TextCharset charset = TextCharset::Other;
  TransferEncoding encoding = TransferEncoding::None;
  // The part's bytes belong in a file, not in the mail text: it names a
  // file, is marked as an attachment, or is of a non-text type.
  bool is_attachment = false;
  // The first name a Content-Type "name" or Content-Disposition "filename"
  // gives (Shift_JIS); empty when such a parameter is there but gives no
  // usable text (then the part is saved as "lpost.bin").
  std::optional<std::string> file_name;
  std::string content_id;  // between "<" and ">"; empty when none
};

// Field names a part description is made from.
[[nodiscard]] std::vector<std::string_view> PartHeaderFieldNames();
[[nodiscard]] PartDescription DescribePart(const std::vector<HeaderField>& fields);

}  // namespace lp
