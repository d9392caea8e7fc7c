#pragma once

#include <string>
#include <string_view>

// The subject of a reply: "Re:" in front of a first reply, a counter in
// the forms "Re[n]:", "Re^n:" and "Ren:" raised by one for later replies.
// Subjects are Shift_JIS.

namespace lp {

enum class ListTag {
  Keep,
  Drop,  // a leading "[list:123]" tag goes ("bResTitleML")
};

// `subject` as the reply's subject. With ListTag::Drop a subject starting
// with "[" loses everything up to its first "]" (the blank after it stays).
// Prefixes are compared without regard to ASCII case and written as "Re";
// a counter without digits counts as 0. A subject that starts with "Re"
// followed by anything else ("Reply", a malformed counter) stays as it is.
[[nodiscard]] std::string MakeReplySubject(std::string_view subject, ListTag list_tag);

}  // namespace lp
