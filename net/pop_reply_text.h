#pragma once

#include <string>
#include <string_view>

#include "net/pop_messages.h"

namespace lp {

// "text：detail", the form every receive message with a reason or a path takes.
[[nodiscard]] inline std::string WithPopReply(std::string_view text, std::string_view detail) {
  std::string message(text);
  message += pop_text::kColon;
  message.append(detail);
  return message;
}

}  // namespace lp
