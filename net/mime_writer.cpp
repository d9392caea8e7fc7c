#include "net/mime_writer.h"

#include <chrono>
#include <random>
#include <vector>

#include "codec/japanese_text.h"
#include "codec/mime_encoding.h"
#include "net/compose_messages.h"
#include "platform/file_system.h"

namespace lp {
namespace {

// Calls `line(text, has_break)` for each line of `text`. CR and LF are
// never trail bytes of Shift_JIS, so a byte search is safe.
template <typename Line>
void ForEachLine(std::string_view text, Line&& line) {
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    if (end == std::string_view::npos) {
      line(text, false);
      return;
    }
    line(text.substr(0, end), true);
    const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
    text.remove_prefix(end + (crlf ? 2 : 1));
  }
}

bool IsAscii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// Base64 lines for the attachment are written in blocks of this many
// lines (a little over 16384 characters each).
constexpr std::size_t kLinesPerBlock = 288;

}  // namespace

void WriteConvertedLines(std::string_view sjis_text, DotStuffing stuffing, BufferedFileWriter& out) {
  std::string full;
  std::string jis;
  ForEachLine(sjis_text, [&](std::string_view line, bool has_break) {
    if (stuffing == DotStuffing::On && line.starts_with('.')) out.Write(".");
    if (IsAscii(line)) {
      out.Write(line);
    } else {
      HalfKanaToFull(line, full);
      SjisToJis(full, jis);
      out.Write(jis);
    }
    if (has_break) out.Write("\r\n");
  });
}

void WritePlainLines(std::string_view sjis_text, BufferedFileWriter& out) {
  ForEachLine(sjis_text, [&](std::string_view line, bool has_break) {
    out.Write(line == "." ? std::string_view(". ") : line);
    if (has_break) out.Write("\r\n");
  });
}

std::string MakeBoundary(std::uint64_t seed) {
  std::mt19937_64 random(seed);
  std::string boundary = "======Boundary=";
  for (int i = 0; i < 15; ++i) boundary += static_cast<char>('0' + random() % 10);
  return boundary;
}

std::string MakeBoundary() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return MakeBoundary(static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
}

AttachmentWrite WriteBase64Attachment(std::string_view sjis_path, BufferedFileWriter& out, UserInterface& ui) {
  File file;
  std::vector<char> block(kLinesPerBlock * kBase64LineBytes);
  std::string lines;
  bool first = true;
  if (!file.Open(sjis_path, File::Mode::Read)) {
    ui.ShowMessage(compose_text::kAttachmentUnreadable);
    return AttachmentWrite::Unreadable;
  }
  for (;;) {
    const std::int64_t count = file.ReadFull(block.data(), block.size());
    if (count < 0) {
      // A directory opens but cannot be read: like a file that cannot be opened.
      ui.ShowMessage(compose_text::kAttachmentUnreadable);
      return first ? AttachmentWrite::Unreadable : AttachmentWrite::ReadFailed;
    }
    first = false;
    const std::string_view bytes(block.data(), static_cast<std::size_t>(count));
    const bool last = bytes.size() < block.size();
    // Whole groups are a multiple of three bytes, so their Base64 text has
    // no padding and can be cut into 76-character lines afterwards.
    const std::size_t whole = bytes.size() - bytes.size() % kBase64LineBytes;
    const std::string encoded = Base64EncodeBlock(bytes.substr(0, whole));
    lines.clear();
    const std::size_t line_chars = kBase64LineBytes / 3 * 4;
    for (std::size_t at = 0; at < encoded.size(); at += line_chars) {
      lines.append(encoded, at, line_chars);
      lines += "\r\n";
    }
    if (last) {
      lines += Base64EncodeBlock(bytes.substr(whole));
      lines += "\r\n";
    }
    out.Write(lines);
    if (last) return AttachmentWrite::Written;
  }
}

}  // namespace lp
