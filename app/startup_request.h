#pragma once

#include <optional>
#include <string>
#include <string_view>

// What a start of the program asks for on its command line: a switch that
// runs a receive, send, send-and-receive or patrol, or a "mailto:" request
// that opens a compose window. The same text reaches a running instance when
// a second start hands its command line over. All texts are Shift_JIS.

namespace lp {

inline constexpr int kCommandPatrol = 32939;
inline constexpr int kCommandReceive = 32785;
inline constexpr int kCommandSendOnly = 32786;
inline constexpr int kCommandSendAndReceive = 32887;
inline constexpr int kCommandProcessMailto = 32949;

// The command of the first switch found anywhere in the line, tested in the
// order "/A" (patrol), "/R" (receive), "/S" (send), "/J" (send and receive),
// either case; nullopt when there is none.
[[nodiscard]] std::optional<int> SwitchCommand(std::string_view command_line);

// The fields a "mailto:" request presets in a new mail.
struct MailtoPreset {
  std::string to;
  std::string cc;
  std::string subject;
  std::string body;

  bool operator==(const MailtoPreset&) const = default;
};

// A stored hand-over: either a preset for a compose window or a switch.
struct StartupRequest {
  std::optional<MailtoPreset> mailto;
  std::optional<int> command;
};

// Reads the text stored for the running instance: with "mailto" in it the
// request is what follows "mailto:"; a text starting with "/" carries a
// switch; any other text is itself the request. The request is the address,
// then after "?" pairs of key "=" value joined by "&"; "subject", "body" and
// "cc" (any case) are taken, other keys ignored. Every field is
// percent-decoded; decoded bytes that form UTF-8 (as RFC 6068 has it) are
// converted to Shift_JIS, others (old Japanese pages escape Shift_JIS) are
// kept as they are. An empty text asks for nothing.
[[nodiscard]] StartupRequest ParseStartupRequest(std::string_view stored);

}  // namespace lp
