#pragma once

#include <span>
#include <string_view>

// The command line of the desktop application: its options and start-up
// requests. The program's parser, `--help` and the manual page are made from
// these tables.

namespace lp {

struct DesktopOption {
  std::string_view name;   // without "--"
  std::string_view value;  // the placeholder of its value; empty for a flag
  std::string_view english;
  std::string_view japanese;
};

// A start-up request: a switch or a "mailto:" URL.
struct DesktopRequest {
  std::string_view request;
  std::string_view english;
  std::string_view japanese;
};

// The program's own options (the parser adds --help and --version).
[[nodiscard]] std::span<const DesktopOption> DesktopOptions();
[[nodiscard]] std::span<const DesktopRequest> DesktopRequests();

}  // namespace lp
