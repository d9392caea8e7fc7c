#pragma once

#include <string>
#include <string_view>

// Address fields (From, To, Cc, Reply-To) as a reader sees them. A display
// name with a "," or "." must be quoted in the header ("Suzuki, Hanako"
// <h@example.jp>), and web mailers quote every name, even an encoded word;
// mail programs show such names without the quotes. The stored record keeps
// the header's form: a reply addresses the sender with it, and without the
// quotes "Suzuki, Hanako" would become two addresses.

namespace lp {

// Walks a Shift_JIS address field, possibly one folded line after another,
// and writes it with each quoted string shown as its content: the quotes
// go and quoted pairs (\" and \\) stand for their second character. Angle
// addresses and comments are copied as they are. A trail byte 0x5C ("表",
// "ソ") is never taken for a backslash.
class AddressDisplayWriter {
 public:
  // Appends `sjis_text`, the next piece of the field, to `out`; a quoted
  // string may go on into the next piece.
  void Append(std::string_view sjis_text, std::string& out);

 private:
  enum class Context { Plain, Quoted, Angle, Comment };
  Context context_ = Context::Plain;
  int comment_depth_ = 0;
};

// A whole field shown for a reader (the name column of the mail list):
// `"Taro \"T\" Yamada" <t@example.jp>` reads `Taro "T" Yamada <t@example.jp>`.
[[nodiscard]] std::string AddressFieldForDisplay(std::string_view sjis_field);

}  // namespace lp
