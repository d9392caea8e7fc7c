#pragma once

#include <string>
#include <string_view>

// The local socket through which a running desktop application takes
// requests for its data directory: a second start of the program, and the
// command line's receive, send, send-and-receive and patrol, hand their
// request (a switch or a "mailto:" URL, Shift_JIS) over instead of running
// beside it. The frame is app/instance_message's.

namespace lp {

// The socket's name for a data directory (native, UTF-8): one per user and
// absolute directory.
[[nodiscard]] std::string InstanceServerName(std::string_view native_data_directory);

// How long a connected instance may take to answer a hand-over.
inline constexpr int kHandOverAnswerTimeoutMs = 30000;

// Hands the request to the instance listening for the directory. True when
// it answered that it took the request; false at once when none listens
// (or a crashed one left only its socket file), when the connection is not
// made within `timeout_ms`, or when a connected instance gives no answer
// within kHandOverAnswerTimeoutMs.
[[nodiscard]] bool HandOverToRunningInstance(std::string_view native_data_directory,
                                             std::string_view sjis_request, int timeout_ms = 3000);

}  // namespace lp
