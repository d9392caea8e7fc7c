#include "codec/html_view.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "codec/attachment_files.h"
#include "codec/html_charset.h"
#include "codec/header_lookup.h"
#include "codec/japanese_text.h"
#include "codec/mime_encoding.h"
#include "platform/atomic_file.h"
#include "platform/file_system.h"
#include "platform/question_guard.h"
#include "platform/sjis_path.h"
#include "store/mail_status.h"
#include "store/store_messages.h"

namespace lp {
namespace {

constexpr char kSectionSystem[] = "System";
constexpr char kKeyHtmlAlert[] = "HtmlAlert";
constexpr char kKeyHtmlIframeCheck[] = "HtmlIframeCheck";

// Lines of a stored mail are read as through a 32000-byte buffer with room
// for the terminating NUL; a longer line arrives in pieces.
constexpr std::size_t kLineBufferBytes = 32000 - 1;
constexpr std::size_t kReadChunkBytes = 1 << 16;
constexpr std::size_t kFlushBytes = 1 << 16;

constexpr std::string_view kLinkScheme = "http://";

// The page is written from the mail list (stored mail) or from a read window
// (shown text); a read window also counts "$" and "%" as part of an address.
enum class UrlCharacters { Stored, Shown };

bool ContainsIgnoringCase(std::string_view text, std::string_view pattern) {
  return FindJapaneseText(text, pattern, IgnoreCase) >= 0;
}

bool ContainsExactly(std::string_view text, std::string_view pattern) {
  return FindJapaneseText(text, pattern, 0) >= 0;
}

bool HasHtmlElement(std::string_view text) {
  return ContainsIgnoringCase(text, "<HTML") && ContainsIgnoringCase(text, "</HTML>");
}

bool IsAsciiAlphanumeric(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsUrlCharacter(char c, UrlCharacters set) {
  if (IsAsciiAlphanumeric(c)) return true;
  switch (c) {
    case '.': case '/': case '-': case '+': case '?': case '&':
    case '_': case ':': case '~': case '@': case '=':
      return true;
    case '$': case '%':
      return set == UrlCharacters::Shown;
    default:
      return false;
  }
}

// "&", "<" and ">" are never trail bytes of a double-byte character, so
// escaping them byte by byte leaves Shift_JIS text intact.
void AppendEscaped(std::string& out, std::string_view text) {
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c; break;
    }
  }
}

// Whether the mail's own text leaves a tag open: its last "<" has no ">"
// after it. Starts from the state before `text`.
bool TagOpenAfter(std::string_view text, bool open) {
  for (const char c : text) {
    if (c == '<') open = true;
    if (c == '>') open = false;
  }
  return open;
}

// One line of mail text for the PRE block: escaped, with every http://
// address turned into a link whose target and visible text are exactly the
// address. An address inside what the mail's own text opened as a tag stays
// plain text, as it would not have been meant as a link there.
void AppendLinkedLine(std::string& out, std::string_view line, UrlCharacters set) {
  bool tag_open = false;
  std::size_t position = 0;
  while (position < line.size()) {
    // Searched character by character, so no trail byte starts a match.
    const long found = FindJapaneseText(line.substr(position), kLinkScheme, 0);
    if (found < 0) break;
    const std::size_t start = position + static_cast<std::size_t>(found);
    const std::string_view before = line.substr(position, start - position);
    AppendEscaped(out, before);
    tag_open = TagOpenAfter(before, tag_open);
    std::size_t end = start + kLinkScheme.size();
    if (tag_open) {
      out += kLinkScheme;
      position = end;
      continue;
    }
    while (end < line.size() && IsUrlCharacter(line[end], set)) ++end;
    const std::string_view address = line.substr(start, end - start);
    out += "<A HREF=\"";
    out += address;
    out += "\">";
    out += address;
    out += "</A>";
    position = end;
  }
  AppendEscaped(out, line.substr(position));
  out += "\r\n";
}

void StripLineEnd(std::string& line) {
  if (!line.empty() && line.back() == '\n') line.pop_back();
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (!line.empty() && line.back() == '\n') line.pop_back();
}

// The page under construction: written to a temporary file beside
// "lpost.html" and put in place whole, so a browser never sees half a page.
class PageFile {
 public:
  [[nodiscard]] bool Begin(std::string_view path) { return file_.Begin(path); }

  // Text is collected here and written in large blocks.
  std::string& buffer() { return buffer_; }
  void FlushIfFull() {
    if (buffer_.size() >= kFlushBytes) Flush();
  }
  [[nodiscard]] bool Commit() {
    Flush();
    return ok_ && file_.Commit();
  }

 private:
  void Flush() {
    if (ok_ && !buffer_.empty()) ok_ = file_.Write(buffer_);
    buffer_.clear();
  }

  AtomicFileWriter file_;
  std::string buffer_;
  bool ok_ = true;
};

bool CommitPage(PageFile& page, UserInterface& ui) {
  if (page.Commit()) return true;
  ui.ShowMessage(html_view_messages::kCannotWrite);
  return false;
}

void AppendPageHead(std::string& out, std::string_view subject) {
  out += "<HTML>\r\n";
  out += kShiftJisDeclaration;
  out += "\r\n<BODY BGCOLOR=\"#FFFFFF\">\r\n<TITLE>";
  AppendEscaped(out, subject);
  out += "</TITLE>\r\n<PRE>\r\n";
}

constexpr std::string_view kPageTail = "</PRE></BODY></HTML>\r\n";

// The part of `text` from its first "<HTML" through the first "</HTML>"
// after it (to the end when none follows).
std::string_view HtmlElementOf(std::string_view text) {
  const long start = FindJapaneseText(text, "<HTML", IgnoreCase);
  if (start < 0) return {};
  const std::string_view rest = text.substr(static_cast<std::size_t>(start));
  std::size_t length = 0;
  const long end = FindJapaneseText(rest, "</HTML>", IgnoreCase, &length);
  if (end < 0) return rest;
  return rest.substr(0, static_cast<std::size_t>(end) + length);
}

// Some mailers send ISO-2022-JP HTML in quoted-printable; the display text
// keeps the encoding, so the element is decoded before the browser sees it.
std::string DecodedHtmlElement(std::string_view text) {
  const std::string_view element = HtmlElementOf(text);
  if (!(ContainsExactly(text, "Content-Type: text/html;") &&
        ContainsExactly(text, "Content-Transfer-Encoding: quoted-printable") &&
        ContainsExactly(text, "=1B$"))) {
    return std::string(element);
  }
  std::string joined;
  joined.reserve(element.size());
  for (std::size_t i = 0; i < element.size();) {
    if (element.compare(i, 3, "=\r\n") == 0) {
      i += 3;
    } else {
      joined += element[i++];
    }
  }
  return QuotedPrintableDecode(joined);
}

// What a page of HTML asks, or refuses, before it may be opened.
struct HtmlWarnings {
  bool ask_html_mail = false;
  bool ask_script = false;
  bool refuse_iframe = false;
};

// Asks the questions one after the other, each once the one before was
// answered yes, and tells `decided` the outcome once.
void AskHtmlWarnings(UserInterface& ui, HtmlWarnings warnings, HtmlViewQuestions questions,
                     HtmlViewDecided decided) {
  const char* question = nullptr;
  if (warnings.ask_html_mail) {
    warnings.ask_html_mail = false;
    question = html_view_messages::kHtmlMailQuestion;
  } else if (warnings.ask_script) {
    warnings.ask_script = false;
    question = html_view_messages::kScriptQuestion;
  }
  if (question != nullptr) {
    // The handler runs only while both guards live, so the references hold.
    UserInterface::AnswerHandler next = [&ui, warnings, questions, decided](Answer answer) {
      if (answer != Answer::Yes) {
        decided(false);
        return;
      }
      AskHtmlWarnings(ui, warnings, questions, decided);
    };
    ui.AskLater(question, MessageButtons::YesNo,
                questions.window.Wrap<Answer>(questions.page.Wrap<Answer>(std::move(next))));
    return;
  }
  if (warnings.refuse_iframe) {
    ui.ShowMessage(html_view_messages::kIframeRefused);
    decided(false);
    return;
  }
  decided(true);
}

// Writes the HTML of a mail and notes what it must ask; false when the
// page could not be written.
bool WriteHtmlPage(std::string_view text, PageFile& page, const Profile& profile, UserInterface& ui,
                   HtmlWarnings& warnings) {
  const std::string element = DecodedHtmlElement(text);
  // The page is written in Shift_JIS, whatever the mail declared.
  page.buffer() += DeclaringShiftJis(element);
  page.buffer() += "\r\n";
  if (!CommitPage(page, ui)) return false;
  warnings.ask_html_mail = profile.GetInt(kSectionSystem, kKeyHtmlAlert, 1) != 0;
  warnings.ask_script = ContainsIgnoringCase(element, "<SCRIPT");
  warnings.refuse_iframe =
      ContainsIgnoringCase(element, "<IFRAME") && profile.GetInt(kSectionSystem, kKeyHtmlIframeCheck, 1) != 0;
  return true;
}

// Opens the box's text file at the record's block, with the store's
// messages on failure.
bool OpenTextBlock(CLPOSTDoc& box, const CMail& record, File& file) {
  if (box.TextFilePath().empty() || !file.Open(box.TextFilePath(), File::Mode::Read)) {
    box.ui().ShowMessage(store_messages::kTextFileOpenFailed);
    return false;
  }
  const std::optional<std::uint64_t> size = file.Size();
  if (!size || record.text_start > *size || !file.Seek(record.text_start)) {
    box.ui().ShowMessage(store_messages::kTextFileSeekFailed);
    return false;
  }
  return true;
}

// Lines of one text block, each as a line-buffered read gives it: through
// its LF, at most kLineBufferBytes bytes. The line that reaches the block's
// end (its "." terminator) is not given.
class BlockLineReader {
 public:
  BlockLineReader(File& file, std::uint64_t start, std::uint64_t end)
      : file_(file), position_(start), end_(end) {}

  bool Next(std::string& line) {
    line.clear();
    while (line.size() < kLineBufferBytes) {
      if (chunk_position_ == chunk_.size() && !Refill()) break;
      const std::size_t room = kLineBufferBytes - line.size();
      const std::size_t available = std::min(room, chunk_.size() - chunk_position_);
      const std::size_t newline = chunk_.find('\n', chunk_position_);
      const bool ends_here = newline != std::string::npos && newline - chunk_position_ < available;
      const std::size_t take = ends_here ? newline - chunk_position_ + 1 : available;
      line.append(chunk_, chunk_position_, take);
      chunk_position_ += take;
      if (ends_here) break;
    }
    if (line.empty()) return false;
    position_ += line.size();
    return position_ < end_;
  }

 private:
  bool Refill() {
    chunk_.resize(kReadChunkBytes);
    const std::int64_t got = file_.Read(chunk_.data(), chunk_.size());
    chunk_.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    chunk_position_ = 0;
    return !chunk_.empty();
  }

  File& file_;
  std::uint64_t position_;
  std::uint64_t end_;
  std::string chunk_;
  std::size_t chunk_position_ = 0;
};

// Header lines that the page shows; the others are left out.
bool IsShownHeaderLine(std::string_view line) {
  for (const std::string_view name : {"To:", "From:", "Date:", "Cc:", "Subject:"}) {
    if (line.substr(0, name.size()) == name) return true;
  }
  return false;
}

// The stored text of a plain mail as a page: the shown header fields with
// their continuation lines, then the body with its links.
void AppendPlainPage(PageFile& page, File& source, const CMail& record) {
  std::string& out = page.buffer();
  AppendPageHead(out, record.subject);
  BlockLineReader reader(source, record.text_start, record.text_end);
  std::string line;
  bool in_header = true;
  bool continuing = false;
  while (reader.Next(line)) {
    StripLineEnd(line);
    if (!in_header) {
      AppendLinkedLine(out, line, UrlCharacters::Stored);
    } else if (line.empty()) {
      in_header = false;
      out += "\r\n";
    } else if (IsShownHeaderLine(line) || (continuing && !IsAsciiAlphanumeric(line.front()))) {
      continuing = true;
      AppendEscaped(out, line);
      out += "\r\n";
    } else {
      continuing = false;
    }
    page.FlushIfFull();
  }
  out += kPageTail;
}

// Writes the page of a stored mail; false when it could not be written.
bool WritePageOfMail(CLPOSTDoc& box, int index, HtmlWarnings& warnings) {
  const CMail* record = box.RecordAt(index);
  if (record == nullptr) return false;
  UserInterface& ui = box.ui();
  PageFile page;
  if (!page.Begin(HtmlViewPath(box.profile()))) {
    ui.ShowMessage(html_view_messages::kCannotWrite);
    return false;
  }
  // An unreadable text file is reported once, here, before any of the
  // readings below would report it again.
  File source;
  if (!OpenTextBlock(box, *record, source)) return false;

  std::string text = TextShowingError(box.DisplayText(index, HeaderMode::FromSetting, 0), ui);
  if (HasHtmlElement(text)) return WriteHtmlPage(text, page, box.profile(), ui, warnings);
  if (ContainsIgnoringCase(HeaderValue(box, index, "Content-Type"), "text/html")) {
    // A text/html body sent without its own HTML element.
    text = "<HTML>\r\n" + TextShowingError(box.DisplayText(index, HeaderMode::None, 0), ui) + "\r\n</HTML>";
    return WriteHtmlPage(text, page, box.profile(), ui, warnings);
  }
  AppendPlainPage(page, source, *record);
  return CommitPage(page, ui);
}

// Writes the page of a read window's text; false when it could not be written.
bool WritePageOfText(Profile& profile, UserInterface& ui, std::string_view shown_text, std::string_view subject,
                     HtmlWarnings& warnings) {
  PageFile page;
  if (!page.Begin(HtmlViewPath(profile))) {
    ui.ShowMessage(html_view_messages::kCannotWrite);
    return false;
  }
  if (HasHtmlElement(shown_text)) return WriteHtmlPage(shown_text, page, profile, ui, warnings);

  std::string& out = page.buffer();
  AppendPageHead(out, subject);
  std::size_t position = 0;
  while (position < shown_text.size()) {
    const std::size_t newline = shown_text.find('\n', position);
    const std::size_t end = newline == std::string_view::npos ? shown_text.size() : newline;
    std::string_view line = shown_text.substr(position, end - position);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    AppendLinkedLine(out, line, UrlCharacters::Shown);
    page.FlushIfFull();
    position = newline == std::string_view::npos ? shown_text.size() : newline + 1;
  }
  out += kPageTail;
  return CommitPage(page, ui);
}

}  // namespace

std::string HtmlViewPath(const Profile& profile) {
  return JoinPath(AttachmentDirectory(profile), kHtmlViewFileName);
}

void WriteHtmlView(CLPOSTDoc& box, int index, HtmlViewQuestions questions, HtmlViewDecided decided) {
  questions.page.Withdraw();
  HtmlWarnings warnings;
  if (!WritePageOfMail(box, index, warnings)) {
    decided(false);
    return;
  }
  AskHtmlWarnings(box.ui(), warnings, questions, std::move(decided));
}

void WriteHtmlViewOfText(Profile& profile, UserInterface& ui, std::string_view shown_text, std::string_view subject,
                         HtmlViewQuestions questions, HtmlViewDecided decided) {
  questions.page.Withdraw();
  HtmlWarnings warnings;
  if (!WritePageOfText(profile, ui, shown_text, subject, warnings)) {
    decided(false);
    return;
  }
  AskHtmlWarnings(ui, warnings, questions, std::move(decided));
}

bool HasHtmlIframe(CLPOSTDoc& box, int index) {
  if (box.RecordAt(index) == nullptr) return false;
  const std::string text = TextShowingError(box.DisplayText(index, HeaderMode::FromSetting, 0), box.ui());
  return ContainsIgnoringCase(text, "<HTML>") && ContainsIgnoringCase(text, "</HTML>") &&
         ContainsIgnoringCase(text, "<IFRAME") && ContainsIgnoringCase(text, "</IFRAME>");
}

void ShowMailInBrowser(CLPOSTDoc& box, int index, FileOpener& opener, HtmlViewQuestions questions, HtmlViewShown shown) {
  const CMail* record = box.RecordAt(index);
  const std::uint64_t serial = record != nullptr ? record->serial : 0;
  WriteHtmlView(box, index, questions, [&box, &opener, serial, shown = std::move(shown)](bool may_open) {
    bool opened = false;
    if (may_open) {
      // The list may have changed while the user was deciding.
      const int row = box.IndexOfSerial(serial);
      (void)MarkReadOnReading(box, row);
      opened = opener.OpenWithDefaultProgram(HtmlViewPath(box.profile()));
    }
    if (shown) shown(opened);
  });
}

void ShowTextInBrowser(Profile& profile, UserInterface& ui, std::string_view shown_text, std::string_view subject,
                       FileOpener& opener, HtmlViewQuestions questions, HtmlViewShown shown) {
  WriteHtmlViewOfText(profile, ui, shown_text, subject, questions,
                      [&profile, &opener, shown = std::move(shown)](bool may_open) {
                        const bool opened = may_open && opener.OpenWithDefaultProgram(HtmlViewPath(profile));
                        if (shown) shown(opened);
                      });
}

}  // namespace lp
