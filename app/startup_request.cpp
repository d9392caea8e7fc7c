#include "app/startup_request.h"

#include <array>

#include "codec/ascii_case.h"
#include "codec/japanese_text.h"
#include "codec/utf8_stream.h"

namespace lp {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Each run of %XX escapes becomes its bytes: converted from UTF-8 when it is
// UTF-8, else kept. Text between the runs is already Shift_JIS.
std::string PercentDecode(std::string_view text) {
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    std::string run;
    while (i + 2 < text.size() && text[i] == '%' && HexValue(text[i + 1]) >= 0 &&
           HexValue(text[i + 2]) >= 0) {
      run += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 3;
    }
    if (!run.empty()) {
      out += IsMultibyteUtf8(run) ? Utf8ToSjis(run) : run;
      continue;
    }
    out += text[i++];
  }
  return out;
}

bool KeyIs(std::string_view key, std::string_view name) { return EqualsIgnoringAsciiCase(key, name); }

}  // namespace

std::optional<int> SwitchCommand(std::string_view command_line) {
  struct Switch {
    char letter;
    int command;
  };
  constexpr std::array<Switch, 4> kSwitches{{
      {'A', kCommandPatrol},
      {'R', kCommandReceive},
      {'S', kCommandSendOnly},
      {'J', kCommandSendAndReceive},
  }};
  for (const Switch& entry : kSwitches) {
    for (std::size_t at = command_line.find('/'); at != std::string_view::npos;
         at = command_line.find('/', at + 1)) {
      if (at + 1 < command_line.size() && (command_line[at + 1] == entry.letter ||
                                           command_line[at + 1] == entry.letter - 'A' + 'a')) {
        return entry.command;
      }
    }
  }
  return std::nullopt;
}

StartupRequest ParseStartupRequest(std::string_view stored) {
  StartupRequest request;
  if (stored.empty()) return request;
  std::string_view text = stored;
  const std::size_t scheme = FindIgnoringAsciiCase(stored, "mailto");
  if (scheme != std::string_view::npos) {
    text = stored.substr(scheme + 6);
    if (!text.empty() && text.front() == ':') text.remove_prefix(1);
  } else if (stored.front() == '/') {
    request.command = SwitchCommand(stored);
    return request;
  }

  MailtoPreset preset;
  const std::size_t question = text.find('?');
  preset.to = PercentDecode(text.substr(0, question));
  if (question != std::string_view::npos) {
    std::string_view query = text.substr(question + 1);
    while (!query.empty()) {
      const std::size_t amp = query.find('&');
      const std::string_view pair = query.substr(0, amp);
      query = amp == std::string_view::npos ? std::string_view{} : query.substr(amp + 1);
      const std::size_t equals = pair.find('=');
      if (equals == std::string_view::npos) continue;
      const std::string_view key = pair.substr(0, equals);
      const std::string value = PercentDecode(pair.substr(equals + 1));
      if (KeyIs(key, "subject")) preset.subject = value;
      else if (KeyIs(key, "body")) preset.body = value;
      else if (KeyIs(key, "cc")) preset.cc = value;
    }
  }
  request.mailto = std::move(preset);
  return request;
}

}  // namespace lp
