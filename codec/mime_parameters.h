#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Parameters of MIME header fields ("boundary", "charset", "name",
// "filename", with their RFC 2231 forms). Values are taken from header text
// as it stands in the spool; names come back decoded in Shift_JIS.

namespace lp {

// "--" and the boundary of a Content-Type line: the quoted value after
// "boundary=" (found without regard to case; empty when the closing quote is
// missing), else the token after "boundary=" up to ";" or a blank.
[[nodiscard]] std::string ExtractBoundary(std::string_view line);

// The value after `name` and "=" (found without regard to case), cut
// before the first ";", with its surrounding quotes removed; empty when
// absent.
[[nodiscard]] std::string ExtractParameter(std::string_view line, std::string_view name);

struct MimeParameter {
  std::string attribute;  // lower case, as written ("name*0*" stays so)
  std::string value;      // quotes and backslash escapes removed
  bool quoted = false;
};

// The "attribute=value" pairs after the first ";" of a field value. A quoted
// value may hold ";"; an unquoted one ends at ";" with its blanks trimmed.
[[nodiscard]] std::vector<MimeParameter> ParseMimeParameters(std::string_view field_value);

// The media type of a Content-Type value in lower case ("text/plain"), or
// empty when the value names none.
[[nodiscard]] std::string MediaTypeOf(std::string_view field_value);

// A file name parameter ("name" or "filename") decoded to Shift_JIS:
// RFC 2231 forms first ("name*=charset''%XX", "name*0*=" ... joined in
// order), else the plain parameter with its encoded words decoded.
// nullopt when the field has no such parameter. `require_quotes` makes an
// unquoted plain value count as empty.
[[nodiscard]] std::optional<std::string> FileNameParameter(std::string_view field_value,
                                                           std::string_view attribute,
                                                           bool require_quotes);

}  // namespace lp
