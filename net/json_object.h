#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

// Just enough JSON for the small flat objects of OAuth 2.0: a SASL failure
// status and a token endpoint's answer. The members of the top-level object
// are kept with their kind; nested objects and arrays are checked and
// skipped. Anything malformed, too deep or too large gives nothing.

namespace lp {

struct JsonMember {
  enum class Kind { String, Number, Boolean, Null, Nested };
  Kind kind = Kind::Null;
  std::string text;  // a string's value (escapes resolved), a number's or a boolean's spelling
};

using JsonObject = std::map<std::string, JsonMember, std::less<>>;

// Texts longer than this are refused unread.
inline constexpr std::size_t kMaxJsonText = 256 * 1024;

[[nodiscard]] std::optional<JsonObject> ParseJsonObject(std::string_view text);

// The member `name` when it is a string.
[[nodiscard]] std::optional<std::string> JsonString(const JsonObject& object, std::string_view name);

}  // namespace lp
